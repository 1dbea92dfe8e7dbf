// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

/// A part widgets are made of (a button, the info button with the flip to
/// the back, a slider, a scroll area), as markup that sets itself up with the
/// runtime's shared classes, and the shared scripts it needs.
struct WidgetPart
{
    QString title;
    /// Below /System/Library/WidgetResources/.
    QStringList scripts;
    /// The element ids the markup names as "${id}"; each is made unique in
    /// the page it goes into.
    QStringList ids;
    QByteArray markup;

    /// Every part there is, in the order the menu lists them.
    static const QList<WidgetPart> &library();

    /// Where the part goes into `page` with the caret at `caret` (offsets of
    /// UTF-8 bytes): the script elements for the shared scripts the page
    /// does not load yet, before the end of its head (or with the markup,
    /// before it, when there is no head), and the markup at the caret when
    /// that lies in the body (else before the body's end, or at the end).
    struct Insertion
    {
        qsizetype headAt;
        QByteArray head;
        qsizetype markupAt;
        QByteArray markup;
    };
    Insertion insertionInto(const QByteArray &page, qsizetype caret) const;
};
