// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/// Markup written for the engine widgets were first made for. That engine
/// closed a raw-text element written as an empty tag, such as
/// `<script src="main.js"/>`; today's parsers take the tag as an opening one,
/// and the element then swallows the rest of the page as its text.
class LegacyMarkup
{
public:
    /// `html` with each script, style, title, textarea and iframe element
    /// written as an empty tag closed right after its tag. Comments and the
    /// text inside raw-text elements are left alone.
    static QByteArray closeEmptyTags(const QByteArray &html);

    /// The HTML page at `path` with its empty tags closed; nothing when the
    /// page needs no change, cannot be read, or is too large to be handed
    /// to the engine as text (it then loads from its file as it is).
    static std::optional<QByteArray> repairedPage(const QString &path);
};
