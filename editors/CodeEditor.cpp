// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/CodeEditor.h"

#include "editors/LongLineBreaks.h"

QMimeData *CodeEditor::toMimeData(const QByteArray &text, bool rectangular) const
{
    return QsciScintilla::toMimeData(m_showsLinesBroken ? LongLineBreaks::whole(text) : text, rectangular);
}
