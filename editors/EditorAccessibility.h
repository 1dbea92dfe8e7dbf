// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

/// QScintilla's accessible text counts the characters from the start of the
/// text to the caret on every change and every caret move, whether or not
/// anything listens: a keystroke at the end of a 50 MB script cost 0.2 s
/// that way. Qt makes an accessible for each widget it shows, screen
/// reader or not. While no assistive technology is active, text editors get
/// a plain accessible widget instead, which counts nothing; once one is,
/// editors made from then on get QScintilla's own.
class EditorAccessibility
{
public:
    /// Takes effect for editors made afterwards; call it once a QScintilla
    /// editor exists, so that it is asked before QScintilla's own.
    static void install();
};
