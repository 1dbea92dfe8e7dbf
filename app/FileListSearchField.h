// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTimer>

class FileListController;
class QMainWindow;

/// The document window's search field, which the toolbar's Search item
/// carries: it filters the file list by name and text once typing pauses,
/// finds its text in the file shown, takes the keyboard at Ctrl+F and is
/// emptied by Escape, as search fields are.
class FileListSearchField : public QLineEdit
{
    Q_OBJECT

public:
    FileListSearchField(QMainWindow *window, FileListController *fileList);

    /// Lists the bundle again with the field's text as the filter.
    void refresh();
    /// Selects the next (previous) match of the field's text in the file
    /// shown; with the field empty, gives the field the keyboard instead.
    void findInShownFile(bool forward);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void takeKeyboard();

    QPointer<FileListController> m_fileList;
    QTimer m_pause;
};
