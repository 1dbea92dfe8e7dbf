// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>

class ContentView;
class TextEditorView;

/// What commands that reach through a document's files need of them: the
/// bundle, its open editors, and opening a file in one. The file list is
/// what provides it; a command given this much cannot reach the list's model,
/// table or sheets.
class WidgetFiles
{
public:
    virtual ~WidgetFiles() = default;

    virtual QString bundlePath() const = 0;
    virtual QList<ContentView *> contentViews() const = 0;
    /// The open editor of the file `identifier` (a path in the bundle); null
    /// when none is open.
    virtual ContentView *contentViewWithIdentifier(const QString &identifier) const = 0;
    /// The view the document window shows; null when it shows none.
    virtual ContentView *shownView() const = 0;
    /// Opens the file at `path` in its editor and shows it.
    virtual void openFileAtPath(const QString &path) = 0;

    /// Opens the file `identifier` (a path in the bundle) and shows it; its
    /// text editor, or null when it is shown otherwise (as a form, a folder).
    TextEditorView *openTextEditor(const QString &identifier);
};
