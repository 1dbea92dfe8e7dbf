// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>

/// What a page, a style sheet or a script names and calls, with the line of
/// each. Read leniently, as the pages of the era need: no parser would take
/// them all, and a page the runtime shows must not come out as broken.
struct SourceScan
{
    enum class Kind { Script, StyleSheet, Other };
    struct Reference
    {
        QString target; ///< as written, entities of the markup undone
        int line;
        Kind kind;
    };
    enum class Call { System, Network };
    struct Use
    {
        Call call;
        int line;
    };

    /// `<script src>`, `<link href>`, `<img src>`, and what the page's
    /// inline styles and scripts (elements and attributes) name and call.
    /// Comments are skipped, and an empty script tag (`<script src="a.js"/>`)
    /// is closed at once, as the runtime closes it.
    static SourceScan page(const QString &html);
    /// Its `url()` and `@import` references; comments are skipped.
    static SourceScan styleSheet(const QString &css);
    /// Its calls; comments and string literals are skipped.
    static SourceScan script(const QString &javaScript);

    QList<Reference> references;
    /// The first use of each call, when any.
    QList<Use> uses;
};
