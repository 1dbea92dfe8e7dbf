// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/EntryListModel.h"
#include "editors/WidgetFiles.h"

#include <QPointer>


class ContentArea;
class ContentView;
class EntryOperations;
class FolderWatcher;
class QDialog;
class QLineEdit;
class QMainWindow;
class QTableView;

/// The bundle's file list. As the list's table model it shows the bundle's
/// visible top-level entries (filtered by the search text), one icon column
/// and the name column; when the selection changes, or its row is clicked
/// while the area shows something else, it shows the content view of the
/// selected entry in the content area, making one the first time, so that
/// exactly one view is shown at a time. The operations on its entries
/// (Add, Rename, Remove, Open With) are EntryOperations'; the commands that
/// reach through the bundle's files are given it as WidgetFiles.
///
/// The row list is read from disk once per refresh, and again whenever the
/// bundle folder changes on disk, never once per cell. Lives as long as the
/// document window, its parent.
class FileListController : public EntryListModel, public WidgetFiles
{
    Q_OBJECT

public:
    FileListController(QMainWindow *mainWindow, QTableView *fileList, ContentArea *contentView);
    ~FileListController() override;

    /// Set-up once the window is loaded: the list becomes a drop target, the
    /// empty view joins the content area, and half a second later the list
    /// is filled.
    void setUp();
    void delayedSetUp();

    /// The sheet a document without a location begins with.
    void setTemplateView(QDialog *wizard);

    /// The field whose text filters the list; none means no filter.
    void setSearchField(QLineEdit *field);
    QString searchText() const;

    /// Reads the row list from disk again and shows it, keeping the selected
    /// entry selected. The content area is left as it is.
    void reloadData();
    QStringList rowList() const { return items(); }
    /// The name of the selected entry; empty when none is.
    QString selectedName() const;
    void selectRowNamed(const QString &name);

    /// Shows the content view for the entry at `path`, making it if needed.
    void openFileAtPath(const QString &path) override;
    /// The content area's view of the entry, however it is spelled, or null.
    ContentView *contentViewWithIdentifier(const QString &identifier) const override;
    ContentView *shownView() const override;
    /// The content area's views, in the area's order.
    QList<ContentView *> contentViews() const override;

    /// Add, Rename, Remove and Open With on the entries of the list.
    EntryOperations *operations() const { return m_operations; }

    /// The bundle path of the document whose window holds the list.
    QString bundlePath() const override;

    /// Reports a failure on the window, naming a file inside the widget as
    /// the list names it ("Images/a.png").
    void report(const QString &title, const Outcome &outcome) const override;

protected:
    QStringList listing(const QString &folder) override;

private:
    QStringList searchFilteredDirectoryContentsAtPath(const QString &path);
    void tableViewSelectionDidChange();
    void tableViewClicked();

    QPointer<QMainWindow> m_mainWindow;
    QPointer<QTableView> m_fileList;
    QPointer<ContentArea> m_contentView;
    QPointer<QLineEdit> m_searchField;
    QPointer<QDialog> m_templateView;
    EntryOperations *m_operations;
    FolderWatcher *m_watcher;
    bool m_reloading = false;
};
