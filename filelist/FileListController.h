// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QFileSystemWatcher>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QTimer>

class ContentView;
class QDialog;
class QLineEdit;
class QMainWindow;
class QTableView;

/// The bundle's file list and the keeper of the content area. As the list's
/// table model it shows the bundle's visible top-level entries (filtered by
/// the search text), one icon column and the name column; when the selection
/// changes it shows the content view of the selected entry, making one the
/// first time, so that exactly one view is shown at a time.
///
/// The row list is read from disk once per refresh, and again whenever the
/// bundle folder changes on disk, never once per cell. Lives as long as the
/// document window, its parent.
class FileListController : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { IconColumn = 0, NameColumn = 1, ColumnCount };
    enum FileKind { TextKind = 0, FolderKind = 1, ImageKind = 2, InfoPlistKind = 3 };

    FileListController(QMainWindow *mainWindow, QTableView *fileList, QWidget *contentView);

    /// Set-up once the window is loaded: the list becomes a drop target, the
    /// empty view joins the content area, and half a second later the list
    /// is filled.
    void awakeFromNib();
    void delayedAwakeFromNib();

    /// The sheet a document without a location begins with.
    void setTemplateView(QDialog *wizard);

    /// The field whose text filters the list; none means no filter.
    void setSearchField(QLineEdit *field);
    QString searchText() const;

    /// Reads the row list from disk again and shows it, keeping the selected
    /// entry selected. The content area is left as it is.
    void reloadData();
    QStringList rowList() const { return m_rows; }

    /// Shows the content view for the entry at `path`, making it if needed.
    void openFileAtPath(const QString &path);
    bool contentViewExistsWithIdentifier(const QString &identifier) const;
    /// The last view of the content area with this identifier, or null.
    ContentView *contentViewWithIdentifier(const QString &identifier) const;
    /// The content area's views, in the area's order.
    QList<ContentView *> contentViews() const;

    static int fileTypeForPath(const QString &path);
    static QStringList visibleDirectoryContentsAtPath(const QString &path);
    QStringList searchFilteredDirectoryContentsAtPath(const QString &path);

    /// The bundle path of the document whose window holds the list.
    QString bundlePath() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;

private:
    void tableViewSelectionDidChange();
    void showOnlyEmptyView();
    void selectRowNamed(const QString &name);
    QString selectedName() const;
    QStringList computeRowList();
    void watchBundle();
    void addToContentArea(ContentView *view);
    static ContentView *makeContentView(int kind);

    QPointer<QMainWindow> m_mainWindow;
    QPointer<QTableView> m_fileList;
    QPointer<QWidget> m_contentView;
    QPointer<QLineEdit> m_searchField;
    QPointer<QDialog> m_templateView;

    QStringList m_rows;
    mutable QHash<QString, QIcon> m_icons;
    QFileSystemWatcher m_watcher;
    QTimer m_reloadOnChange;
    bool m_reloading = false;
};
