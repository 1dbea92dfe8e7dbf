// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/EntryListModel.h"
#include "editors/WidgetFiles.h"

#include <QPointer>

#include <memory>
#include <optional>

class ContentArea;
class ContentView;
class EntrySheet;
class FolderWatcher;
class QDialog;
class QLineEdit;
class QMainWindow;
class QTableView;
namespace Ui {
class AddPanel;
class RenamePanel;
} // namespace Ui

/// The bundle's file list. As the list's table model it shows the bundle's
/// visible top-level entries (filtered by the search text), one icon column
/// and the name column; when the selection changes, or its row is clicked
/// while the area shows something else, it shows the content view of the
/// selected entry in the content area, making one the first time, so that
/// exactly one view is shown at a time. Its file operations
/// keep the open editors right: a renamed entry's editors follow it, a
/// removed entry's editors close (after asking about their edits), and
/// every failure is reported with the file and the reason.
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

    /// Shows the content view for the entry at `path`, making it if needed.
    void openFileAtPath(const QString &path) override;
    bool contentViewExistsWithIdentifier(const QString &identifier) const;
    /// The content area's view of the entry, however it is spelled, or null.
    ContentView *contentViewWithIdentifier(const QString &identifier) const override;
    /// The content area's views, in the area's order.
    QList<ContentView *> contentViews() const override;

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
    QDialog *addPanel() const;
    QDialog *renamePanel() const;

    static int fileTypeForPath(const QString &path);
    QStringList searchFilteredDirectoryContentsAtPath(const QString &path);

    /// The bundle path of the document whose window holds the list.
    QString bundlePath() const override;

protected:
    QStringList listing(const QString &folder) override;
    void report(const QString &title, const Outcome &outcome) const override;

private:
    void tableViewSelectionDidChange();
    void tableViewClicked();
    void showOnlyEmptyView();
    void selectRowNamed(const QString &name);
    QString selectedName() const;
    void setUpSheets();
    void setUpContextMenu();
    /// Writes the edits of the views of the entry and of all inside it and
    /// closes them; a view whose save failed stays, and the failure is
    /// reported under `title`.
    bool saveAndCloseContentView(const QString &identifier, const QString &title);
    /// The entry a name typed into a sheet stands for; an error message in
    /// the sheet and nothing when the name leads outside the bundle, would
    /// not be listed (it begins with a dot) or listed blank (spaces alone),
    /// or (unless it is `allowed`) names an existing entry.
    std::optional<QString> newEntryPath(const QString &name, EntrySheet *sheet, const QString &allowed = {});

    QPointer<QMainWindow> m_mainWindow;
    QPointer<QTableView> m_fileList;
    QPointer<ContentArea> m_contentView;
    QPointer<QLineEdit> m_searchField;
    QPointer<QDialog> m_templateView;
    std::unique_ptr<Ui::AddPanel> m_addUi;
    std::unique_ptr<Ui::RenamePanel> m_renameUi;
    EntrySheet *m_addPanel;
    EntrySheet *m_renamePanel;

    FolderWatcher *m_watcher;
    bool m_reloading = false;
};
