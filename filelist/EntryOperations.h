// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

class ContentArea;
class EntrySheet;
class FileListController;
class QDialog;
class QMainWindow;
class QTableView;
namespace Ui {
class AddPanel;
class RenamePanel;
} // namespace Ui

/// What the user does to the bundle's top-level entries from the file list:
/// Add (a file or a folder, or a copy of one from elsewhere), Rename,
/// Remove and Open With, from the list's buttons, its context menu and its
/// keys (Delete, F2). Each acts on the entry selected at that moment and
/// keeps the open editors right: a renamed entry's editors follow it, a
/// removed entry's editors close (after asking about their edits), and an
/// entry is saved before another program opens it. Every failure is
/// reported once, naming the file and the reason.
class EntryOperations : public QObject
{
    Q_OBJECT

public:
    EntryOperations(QMainWindow *window, FileListController *list, ContentArea *area);
    ~EntryOperations() override;

    /// Gives `table` the context menu and the keys of the operations.
    void attachTo(QTableView *table);

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

private:
    /// The entry a name typed into a sheet stands for; an error message in
    /// the sheet and nothing when the name leads outside the bundle, would
    /// not be listed (it begins with a dot) or listed blank (spaces alone),
    /// or (unless it is `allowed`) names an existing entry.
    std::optional<QString> newEntryPath(const QString &name, EntrySheet *sheet, const QString &allowed = {});
    /// Writes the edits of the views of the entry and of all inside it and
    /// closes them; a view whose save failed stays, and the failure is
    /// reported under `title`.
    bool saveAndCloseContentView(const QString &identifier, const QString &title);
    QString bundlePath() const;

    QPointer<QMainWindow> m_window;
    FileListController *m_list;
    QPointer<ContentArea> m_area;
    std::unique_ptr<Ui::AddPanel> m_addUi;
    std::unique_ptr<Ui::RenamePanel> m_renameUi;
    EntrySheet *m_addPanel;
    EntrySheet *m_renamePanel;
};
