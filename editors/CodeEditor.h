// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <Qsci/qsciscintilla.h>

/// The Scintilla editor of a text file, which hands out its text without the
/// line breaks it put in to show long lines (see LongLineBreaks) when text is
/// copied or dragged out of it.
class CodeEditor : public QsciScintilla
{
    Q_OBJECT

public:
    using QsciScintilla::QsciScintilla;

    /// Whether every carriage return in the text is one put in to break a
    /// long line.
    void setShowsLinesBroken(bool broken) { m_showsLinesBroken = broken; }
    bool showsLinesBroken() const { return m_showsLinesBroken; }

protected:
    QMimeData *toMimeData(const QByteArray &text, bool rectangular) const override;

private:
    bool m_showsLinesBroken = false;
};
