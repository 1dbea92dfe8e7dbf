// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/FileListSearchField.h"

#include "editors/ContentView.h"
#include "filelist/FileListController.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QShortcut>

namespace {

constexpr int Pause = 150; // ms

} // namespace

FileListSearchField::FileListSearchField(QMainWindow *window, FileListController *fileList)
    : QLineEdit(window)
    , m_fileList(fileList)
{
    setObjectName(QStringLiteral("searchField"));
    setPlaceholderText(tr("Search"));
    setClearButtonEnabled(true);
    hide();
    // Typing refilters once it pauses, not on every key: each filtering
    // searches every open file.
    m_pause.setSingleShot(true);
    m_pause.setInterval(Pause);
    connect(&m_pause, &QTimer::timeout, this, &FileListSearchField::refresh);
    connect(this, &QLineEdit::textChanged, &m_pause, qOverload<>(&QTimer::start));
    auto *find = new QShortcut(QKeySequence::Find, window);
    connect(find, &QShortcut::activated, this, &FileListSearchField::takeKeyboard);
}

void FileListSearchField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !text().isEmpty())
        clear();
    else
        QLineEdit::keyPressEvent(event);
}

void FileListSearchField::refresh()
{
    if (m_fileList)
        m_fileList->reloadData();
}

void FileListSearchField::takeKeyboard()
{
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

void FileListSearchField::findInShownFile(bool forward)
{
    if (text().isEmpty() || !m_fileList) {
        takeKeyboard();
        return;
    }
    for (ContentView *view : m_fileList->contentViews()) {
        if (view->isVisible() && view->findNext(text(), forward)) {
            view->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}
