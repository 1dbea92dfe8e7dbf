// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ColumnBrowser.h"

#include "chrome/CenteredTextDelegate.h"
#include "chrome/SelectionTableView.h"
#include "editors/ContentArea.h"
#include "editors/ContentView.h"
#include "editors/EntryListModel.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

namespace {

constexpr int IconColumnWidth = 28;
constexpr int RowHeight = 24;

} // namespace

ColumnBrowser::ColumnBrowser(QWidget *parent)
    : GripSplitter(Qt::Horizontal, parent)
{
    setChildrenCollapsible(false);
}

QTableView *ColumnBrowser::fileList(int column) const
{
    return m_fileLists.at(column);
}

QString ColumnBrowser::fileListPath(int column) const
{
    return m_models.at(column) ? m_models.at(column)->folder() : QString();
}

void ColumnBrowser::initBrowserWithPath(const QString &path)
{
    if (!FileManager::isDirectory(path))
        return;
    if (!m_models[0])
        setUpTables();
    if (!m_models[0])
        return;
    m_browserPath = path;
    m_rootPath = path;
    m_restoringSelection = true;
    for (QTableView *table : m_fileLists)
        table->clearSelection();
    m_restoringSelection = false;
    reloadAllColumns();
}

void ColumnBrowser::setUpTables()
{
    for (int column = 0; column < ColumnCount; ++column) {
        auto *table = qobject_cast<QTableView *>(widget(column));
        if (!table)
            return;
        m_fileLists[column] = table;
    }
    for (int column = 0; column < ColumnCount; ++column) {
        QTableView *table = m_fileLists[column];
        auto *model = new EntryListModel(this);
        m_models[column] = model;
        model->setBoundary(m_boundary);
        model->setDragHandler([this](const QString &path) { return saveAndCloseContentView(path); });
        connect(model, &EntryListModel::itemsDropped, this, &ColumnBrowser::reloadAllColumns);
        table->setModel(model);
        table->setItemDelegate(new CenteredTextDelegate(table));
        table->horizontalHeader()->setSectionResizeMode(EntryListModel::IconColumn, QHeaderView::Fixed);
        table->horizontalHeader()->resizeSection(EntryListModel::IconColumn, IconColumnWidth);
        table->horizontalHeader()->setSectionResizeMode(EntryListModel::NameColumn, QHeaderView::Stretch);
        table->verticalHeader()->setDefaultSectionSize(RowHeight);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setDragDropMode(QAbstractItemView::DragDrop);
        table->setDefaultDropAction(Qt::MoveAction);
        table->setDragDropOverwriteMode(false);
        table->installEventFilter(this);
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, column] { tableViewSelectionDidChange(column); });
        connect(table, &QAbstractItemView::doubleClicked, this, &ColumnBrowser::openFile);
        if (auto *list = qobject_cast<SelectionTableView *>(table))
            connect(list, &SelectionTableView::reloadRequested, this, [this, column] { reloadColumn(column); });
    }
}

void ColumnBrowser::setBoundary(const QString &folder)
{
    m_boundary = folder;
    for (EntryListModel *model : m_models) {
        if (model)
            model->setBoundary(folder);
    }
}

void ColumnBrowser::reloadAllColumns()
{
    for (int column = 0; column < ColumnCount; ++column)
        reloadColumn(column);
}

// A column lists the folder selected in the column to its left; column 0
// lists the browser's own folder. A reset keeps the selected entry selected,
// by its name, as long as the new listing has it (entries a drop added may
// have moved it to another row), without it counting as a selection change.
void ColumnBrowser::reloadColumn(int column)
{
    QString folder = m_browserPath;
    if (column > 0) {
        const QString selected = m_models[column - 1]->pathAt(selectedRow(column - 1));
        folder = FileManager::isDirectory(selected) ? selected : QString();
    }
    const QString name = m_models[column]->items().value(selectedRow(column));
    if (!m_models[column]->setFolder(folder))
        return;
    m_restoringSelection = true;
    clearSelection(column);
    if (!name.isEmpty())
        selectRow(column, int(m_models[column]->items().indexOf(name)));
    m_restoringSelection = false;
    // The row may now name another entry, or none: the columns to the right
    // follow it.
    if (column + 1 < ColumnCount)
        reloadColumn(column + 1);
}

int ColumnBrowser::selectedRow(int column) const
{
    const QTableView *table = m_fileLists[column];
    if (!table || !table->selectionModel())
        return -1;
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.last().row();
}

void ColumnBrowser::selectRow(int column, int row)
{
    if (row >= 0 && row < m_models[column]->rowCount())
        m_fileLists[column]->selectRow(row);
}

void ColumnBrowser::clearSelection(int column)
{
    m_fileLists[column]->clearSelection();
}

void ColumnBrowser::tableViewSelectionDidChange(int column)
{
    if (m_restoringSelection)
        return;
    if (column < ColumnCount - 1) {
        reloadColumn(column);
        reloadColumn(column + 1);
        clearSelection(column + 1);
    } else if (selectedRow(column) >= 0 && FileManager::isDirectory(fileListPath(column))) {
        stepDown();
    }
}

// The entry just selected in column 2 ends up selected in column 1, and
// column 2 shows its contents when it is a folder.
void ColumnBrowser::stepDown()
{
    reloadColumn(2);
    const int row2 = selectedRow(2);
    const int row1 = selectedRow(1);
    m_browserPath = fileListPath(1);
    reloadAllColumns();
    selectRow(0, row1);
    selectRow(1, row2);
    clearSelection(2);
}

void ColumnBrowser::stepUp()
{
    clearSelection(0);
    m_browserPath = m_browserPath.section(u'/', 0, -2);
    reloadAllColumns();
    selectRow(0, 0);
}

void ColumnBrowser::keyDown(int key)
{
    if (!m_models[0])
        return;
    if (key == Qt::Key_Left) {
        if (selectedRow(2) >= 0)
            clearSelection(2);
        else if (selectedRow(1) >= 0)
            clearSelection(1);
        else if (selectedRow(0) >= 0 && m_browserPath != m_rootPath)
            stepUp();
    } else if (key == Qt::Key_Right) {
        if (selectedRow(1) >= 0 && m_models[2]->rowCount() > 0)
            selectRow(2, 0);
        else if (selectedRow(0) >= 0 && m_models[1]->rowCount() > 0)
            selectRow(1, 0);
    }
    focusDeepestSelection();
}

// Up and Down Arrow then move within the column the user is working in.
void ColumnBrowser::focusDeepestSelection()
{
    for (int column = ColumnCount - 1; column >= 0; --column) {
        if (selectedRow(column) >= 0) {
            m_fileLists[column]->setFocus();
            m_fileLists[column]->setCurrentIndex(
                m_models[column]->index(selectedRow(column), EntryListModel::NameColumn));
            return;
        }
    }
}

void ColumnBrowser::openFile()
{
    for (int column = ColumnCount - 1; column >= 0; --column) {
        const QString path = m_models[column] ? m_models[column]->pathAt(selectedRow(column)) : QString();
        if (!path.isEmpty()) {
            emit openFileRequested(path);
            return;
        }
    }
}

void ColumnBrowser::keyPressEvent(QKeyEvent *event)
{
    keyDown(event->key());
    event->accept();
}

bool ColumnBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            keyDown(key);
            return true;
        }
        // Return opens what a double-click would; the table would only
        // report the current cell as activated.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openFile();
            return true;
        }
    }
    return GripSplitter::eventFilter(watched, event);
}

Outcome ColumnBrowser::saveAndCloseContentView(const QString &path)
{
    const Document *document = DocumentController::shared().documentForWindow(window());
    ContentArea *area = ContentArea::of(this);
    if (!document || !area)
        return {};
    return area->saveAndCloseInside(path.mid(document->filePath().size() + 1));
}
