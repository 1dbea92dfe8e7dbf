// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/EntryOperations.h"

#include "ui_AddPanel.h"
#include "ui_RenamePanel.h"

#include "editors/ContentArea.h"
#include "editors/ContentView.h"
#include "filelist/EntrySheet.h"
#include "filelist/FileListController.h"
#include "platform/Alert.h"
#include "platform/FileManager.h"
#include "platform/OpenPanel.h"
#include "platform/Workspace.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QShortcut>
#include <QTableView>

EntryOperations::EntryOperations(QMainWindow *window, FileListController *list, ContentArea *area)
    : QObject(list)
    , m_window(window)
    , m_list(list)
    , m_area(area)
    , m_addUi(std::make_unique<Ui::AddPanel>())
    , m_renameUi(std::make_unique<Ui::RenamePanel>())
    , m_addPanel(new EntrySheet(window, [this](QDialog *sheet) { m_addUi->setupUi(sheet); }))
    , m_renamePanel(new EntrySheet(window, [this](QDialog *sheet) { m_renameUi->setupUi(sheet); }))
{
    connect(m_addPanel, &EntrySheet::okClicked, this, &EntryOperations::addPanelOK);
    connect(m_addPanel, &EntrySheet::cancelled, this, &EntryOperations::addPanelCancel);
    connect(m_addUi->browseButton, &QPushButton::clicked, this, &EntryOperations::addPanelBrowse);
    connect(m_renamePanel, &EntrySheet::okClicked, this, &EntryOperations::renamePanelOK);
    connect(m_renamePanel, &EntrySheet::cancelled, this, &EntryOperations::renamePanelCancel);
}

EntryOperations::~EntryOperations() = default;

void EntryOperations::attachTo(QTableView *table)
{
    const std::pair<QString, void (EntryOperations::*)()> commands[] = {
        {tr("Add…"), &EntryOperations::addFile},
        {tr("Rename…"), &EntryOperations::renameFile},
        {tr("Open With…"), &EntryOperations::openFileWith},
        {tr("Remove"), &EntryOperations::removeFile},
    };
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const auto &[title, command] : commands)
        connect(new QAction(title, table), &QAction::triggered, this, command);
    for (QAction *action : table->findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly))
        table->addAction(action);
    auto *remove = new QShortcut(QKeySequence::Delete, table, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &EntryOperations::removeFile);
    auto *rename = new QShortcut(QKeySequence(Qt::Key_F2), table, nullptr, nullptr, Qt::WidgetShortcut);
    connect(rename, &QShortcut::activated, this, &EntryOperations::renameFile);
}

QString EntryOperations::bundlePath() const
{
    return m_list->bundlePath();
}

QDialog *EntryOperations::addPanel() const
{
    return m_addPanel;
}

QDialog *EntryOperations::renamePanel() const
{
    return m_renamePanel;
}

std::optional<QString> EntryOperations::newEntryPath(const QString &name, EntrySheet *sheet, const QString &allowed)
{
    const std::optional<QString> path = FileManager::pathInside(bundlePath(), name);
    const QString entry = path ? QFileInfo(*path).fileName() : QString();
    QString problem;
    if (!path)
        problem = tr("“%1” would lie outside the widget. Choose a name inside it.").arg(name);
    else if (entry.trimmed().isEmpty())
        problem = tr("A name of spaces alone would show as a blank row. Choose another name.");
    // The list, like the file managers, leaves such entries out.
    else if (entry.startsWith(u'.'))
        problem = tr("“%1” begins with a dot, which would hide it from the list. Choose another name.").arg(entry);
    else if (name != allowed && FileManager::isOccupied(*path))
        problem = tr("“%1” already exists in the widget. Choose another name.").arg(name);
    sheet->showProblem(problem);
    return problem.isEmpty() ? path : std::nullopt;
}

void EntryOperations::addFile()
{
    if (!bundlePath().isEmpty())
        m_addPanel->ask();
}

void EntryOperations::addPanelOK()
{
    const QString name = m_addPanel->name();
    if (name.isEmpty())
        return;
    const std::optional<QString> path = newEntryPath(name, m_addPanel);
    if (!path)
        return;
    const Outcome made =
        m_addUi->folderCheckbox->isChecked() ? FileManager::createDirectory(*path) : FileManager::createFile(*path);
    m_list->reloadData();
    if (!made) {
        m_list->report(tr("“%1” could not be added.").arg(name), made);
        return;
    }
    m_addPanel->finish();
}

void EntryOperations::addPanelCancel()
{
    m_addPanel->finish();
}

void EntryOperations::addPanelBrowse()
{
    m_addPanel->finish();
    const QStringList chosen = OpenPanel::run(m_window, {tr("Copy Into the Widget"), {}, {}, false, true, {}});
    if (chosen.isEmpty())
        return;
    // Never over an entry of the same name.
    const QString name = QFileInfo(chosen.first()).fileName();
    const Outcome copied = FileManager::copyItem(chosen.first(), bundlePath() + u'/' + name);
    m_list->reloadData();
    m_list->report(tr("“%1” could not be copied into the widget.").arg(name), copied);
}

void EntryOperations::removeFile()
{
    const QString name = m_list->selectedName();
    if (name.isEmpty())
        return;
    const QList<ContentView *> views = m_area->viewsInside(name);
    QStringList edited;
    for (const ContentView *view : views) {
        if (view->isEdited())
            edited.append(view->viewIdentifier());
    }
    Alert::Request question{tr("Delete"),
                            tr("Are you sure you would like remove the file %1 permanently?").arg(name),
                            tr("Yes"),
                            tr("No"),
                            {}};
    if (!edited.isEmpty()) {
        question.message += u' ' + tr("Your unsaved edits to %1 will be lost.").arg(edited.join(QStringLiteral(", ")));
        question.icon = Alert::Icon::Warning;
    }
    if (Alert::run(m_window, question) != Alert::DefaultButton)
        return;
    const Outcome removed = FileManager::removeItem(bundlePath() + u'/' + name);
    // Editors go with their files; those whose files stayed keep them.
    for (ContentView *view : views) {
        if (!FileManager::exists(bundlePath() + u'/' + view->viewIdentifier()))
            m_area->close(view);
    }
    m_list->reloadData();
    m_list->report(tr("“%1” could not be removed.").arg(name), removed);
}

void EntryOperations::renameFile()
{
    const QString name = m_list->selectedName();
    if (name.isEmpty())
        return;
    m_renamePanel->ask(name);
}

void EntryOperations::renamePanelOK()
{
    const QString name = m_renamePanel->name();
    const QString old = m_list->selectedName();
    if (name.isEmpty() || old.isEmpty())
        return;
    const std::optional<QString> path = newEntryPath(name, m_renamePanel, old);
    if (!path)
        return;
    // The entry's own edits are written under the old name first; a rename
    // whose save failed does not happen, and the edits stay.
    if (ContentView *view = m_list->contentViewWithIdentifier(old)) {
        const Outcome saved = view->save();
        if (!saved) {
            m_list->report(tr("“%1” could not be saved before renaming it.").arg(old), saved);
            return;
        }
    }
    if (name != old) {
        // The editors of the entry and of all inside it follow it, edits and all.
        const Outcome moved = FileManager::moveItem(bundlePath() + u'/' + old, *path);
        if (!moved) {
            m_list->report(tr("“%1” could not be renamed.").arg(old), moved);
            return;
        }
        m_area->repoint(old, name);
        m_list->reloadData();
        m_list->selectRowNamed(name);
    }
    m_renamePanel->finish();
}

void EntryOperations::renamePanelCancel()
{
    m_renamePanel->finish();
}

void EntryOperations::openFileWith()
{
    const QStringList application = OpenPanel::run(m_window,
                                                   {tr("Choose an Application"),
                                                    tr("Applications"),
                                                    {QStringLiteral("desktop")},
                                                    false,
                                                    false,
                                                    QStringLiteral("/usr/share/applications")});
    const QString name = m_list->selectedName();
    if (application.isEmpty() || name.isEmpty())
        return;
    // The other application reads the file as the editor last wrote it.
    if (saveAndCloseContentView(name, tr("“%1” could not be saved before opening it.").arg(name)))
        m_list->report(tr("“%1” could not be opened.").arg(name),
                       Workspace::openFile(bundlePath() + u'/' + name, application.first()));
}

bool EntryOperations::saveAndCloseContentView(const QString &identifier, const QString &title)
{
    const Outcome saved = m_area->saveAndCloseInside(identifier);
    m_list->report(title, saved);
    return saved.succeeded();
}
