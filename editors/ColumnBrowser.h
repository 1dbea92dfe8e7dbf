// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "chrome/GripSplitter.h"
#include "platform/Outcome.h"

#include <array>

class EntryListModel;
class QTableView;

/// Browses a folder tree in three side-by-side columns: column 0 lists a
/// folder, column 1 the folder selected in column 0, column 2 the folder
/// selected in column 1. Selecting an entry in column 2 slides the columns
/// one level down; Left Arrow clears selections from the right and then
/// slides back up, never above the folder the browser was bound to. Return
/// opens the deepest selected entry, as a double-click does.
///
/// The three tables are the browser's own panes, laid out by its form; they
/// are taken when the browser is first bound. Each browser keeps its own
/// state, so browsers in several windows never act on each other's columns.
class ColumnBrowser : public GripSplitter
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 3;

    explicit ColumnBrowser(QWidget *parent = nullptr);

    /// Opens the browser on `path`, its root; does nothing when `path` is
    /// not a folder. Columns 1 and 2 are emptied, so that no column shows
    /// entries of a folder left from an earlier binding.
    void initBrowserWithPath(const QString &path);
    /// The widget folder: what leads outside it takes no drops and shows a
    /// link badge.
    void setBoundary(const QString &folder);

    /// The table of a column (0 to 2); null before the first binding.
    QTableView *fileList(int column) const;
    /// The folder a column lists; empty for a column that lists none.
    QString fileListPath(int column) const;
    QString browserPath() const { return m_browserPath; }
    QString rootPath() const { return m_rootPath; }

    /// Reports the deepest selected entry through openFileRequested;
    /// nothing when no column has a selection.
    void openFile();
    /// Left and Right Arrow handling; other keys are ignored.
    void keyDown(int key);

signals:
    void openFileRequested(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpTables();
    void reloadColumn(int column);
    int selectedRow(int column) const;
    void selectRow(int column, int row);
    void clearSelection(int column);
    void tableViewSelectionDidChange(int column);
    void stepDown();
    void stepUp();
    void focusDeepestSelection();
    /// Saves and closes the content view of a file whose drag starts, so
    /// that its edits travel with it; a failed save keeps the view.
    Outcome saveAndCloseContentView(const QString &path);
    void reloadAllColumns();

    std::array<QTableView *, ColumnCount> m_fileLists{};
    std::array<EntryListModel *, ColumnCount> m_models{};
    QString m_browserPath;
    QString m_rootPath;
    QString m_boundary;
    bool m_restoringSelection = false;
};
