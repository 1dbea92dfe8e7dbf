// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/WidgetFiles.h"

#include "editors/TextEditorView.h"

TextEditorView *WidgetFiles::openTextEditor(const QString &identifier)
{
    openFileAtPath(bundlePath() + u'/' + identifier);
    return qobject_cast<TextEditorView *>(contentViewWithIdentifier(identifier));
}
