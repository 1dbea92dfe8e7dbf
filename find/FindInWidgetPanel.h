// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "find/WidgetSearch.h"

#include <QDockWidget>
#include <QFuture>
#include <QPointer>

#include <atomic>
#include <memory>

class WidgetFiles;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QTreeWidget;
class QTreeWidgetItem;

/// Find in Widget: a panel at the foot of the document window that searches
/// every text file of the bundle (the open editors' edits rather than the
/// disk where a file holds some) and lists the matches by file. Activating
/// a match opens its file in the file list's editor with the match
/// selected. Replace All replaces inside the editors, each file's changes
/// one undo action in its own editor, and writes nothing until Save.
/// Lives as long as the document window, its parent.
class FindInWidgetPanel : public QDockWidget
{
    Q_OBJECT

public:
    /// Searches the files of `files`, which lives as long as the window.
    FindInWidgetPanel(QMainWindow *window, WidgetFiles *files);
    ~FindInWidgetPanel() override;

    /// Shows the panel with the keyboard in its search field, which takes
    /// the focused editor's selection when that is a part of one line.
    void showAndFocus();
    /// Searches on another thread, the matches listed as each file's come
    /// in; a new search stops the one before.
    void find();
    void replaceAll();

private:
    SearchQuery query() const;
    /// The pattern typed; nothing, and its error shown, when invalid.
    std::optional<SearchPattern> pattern();
    /// What Replace All makes of the text `view` holds, and how many
    /// replacements that is.
    std::optional<TextEditorView::Rewrite> rewriteOf(const TextEditorView *view, const SearchPattern &pattern,
                                                     qsizetype *count) const;
    /// Searches, the status saying `before` (what Replace All did) first.
    void search(const QString &before);
    void stopSearch();
    void setStatus(const QString &status);
    void showFile(const FileMatches &file);
    void showSkipped(const QStringList &skipped);
    /// The open editors' edits, read now, for a search on any thread.
    WidgetSearch::EditedText editedTexts() const;
    void openMatch(const QTreeWidgetItem *item);

    WidgetFiles *m_files;
    QLineEdit *m_findField;
    QLineEdit *m_replaceField;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWords;
    QCheckBox *m_regularExpression;
    QLabel *m_error;
    QTreeWidget *m_results;
    QLabel *m_status;
    QFuture<void> m_search;
    std::shared_ptr<std::atomic<bool>> m_searchStopped;
    QString m_statusBefore;
    qsizetype m_found = 0;
    qsizetype m_filesFound = 0;
};
