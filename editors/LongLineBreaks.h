// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

/// Scintilla lays out a whole line on each keystroke in it: in a minified
/// script of one 5 MB line that is seconds per key. Such a text is shown
/// broken into short lines at carriage returns the editor puts in, and which
/// it takes out again whenever the text leaves it. Only a text without any
/// carriage return of its own is broken so, which makes every one in it an
/// inserted one, through edits, Undo, Copy and Paste alike.
class LongLineBreaks
{
public:
    /// Whether `utf8` has a line too long to type in, and no carriage return.
    static bool needed(QByteArrayView utf8);
    /// `utf8` with a carriage return put in after every stretch of a line that
    /// has grown long enough, where it ends in a character that often ends a
    /// statement or an item, or else wherever a character ends.
    static QByteArray broken(QByteArrayView utf8);
    /// `utf8` without its carriage returns.
    static QByteArray whole(QByteArrayView utf8);
};
