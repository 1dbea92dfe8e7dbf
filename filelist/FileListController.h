// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/EntryIcons.h"

#include <QAbstractTableModel>
#include <QFileSystemWatcher>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QTimer>

#include <optional>

#include <memory>

class ContentView;
class QDialog;
class QLineEdit;
class QMainWindow;
class QTableView;
namespace Ui {
class AddPanel;
class RenamePanel;
} // namespace Ui

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

    FileListController(QMainWindow *mainWindow, QTableView *fileList, QWidget *contentView);
    ~FileListController() override;

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

    // File operations: each acts on the row list shown at that moment.
    void addFile();
    void addPanelOK();
    void addPanelCancel();
    void addPanelBrowse();
    void removeFile();
    void renameFile();
    void renamePanelOK();
    void renamePanelCancel();
    void openFileWith();
    /// The Add and Rename sheets, window-modal on the document window.
    QDialog *addPanel() const { return m_addPanel; }
    QDialog *renamePanel() const { return m_renamePanel; }

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
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    /// Dragging an entry carries its full path; its content view writes its
    /// edits and leaves the content area.
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    /// Dropped files and folders are moved into the bundle's top level.
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

private:
    void tableViewSelectionDidChange();
    void showOnlyEmptyView();
    void selectRowNamed(const QString &name);
    QString selectedName() const;
    QStringList computeRowList();
    void watchBundle();
    void addToContentArea(ContentView *view);
    static ContentView *makeContentView(int kind);
    void setUpSheets();
    void setUpContextMenu();
    /// Takes the view of `identifier` out of the content area, writing its
    /// edits first when asked to.
    void discardContentView(const QString &identifier, bool saveFirst) const;
    /// The entry a name typed into a sheet stands for; an error message in
    /// the sheet and nothing when the name leads outside the bundle or
    /// (unless it is `allowed`) names an existing entry.
    std::optional<QString> newEntryPath(const QString &name, QWidget *sheet, const QString &allowed = {});
    void closeSheet(QDialog *sheet);

    QPointer<QMainWindow> m_mainWindow;
    QPointer<QTableView> m_fileList;
    QPointer<QWidget> m_contentView;
    QPointer<QLineEdit> m_searchField;
    QPointer<QDialog> m_templateView;
    QDialog *m_addPanel;
    QDialog *m_renamePanel;
    std::unique_ptr<Ui::AddPanel> m_addUi;
    std::unique_ptr<Ui::RenamePanel> m_renameUi;

    QStringList m_rows;
    mutable EntryIcons m_icons;
    QFileSystemWatcher m_watcher;
    QTimer m_reloadOnChange;
    bool m_reloading = false;
};
