// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/FolderView.h"

#include "ui_FolderView.h"

#include "editors/ColumnBrowser.h"
#include "editors/ContentArea.h"
#include "editors/EntryListModel.h"

#include <QFileInfo>

FolderView::FolderView(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::FolderView>())
{
    ui->setupUi(this);
    connect(ui->browser, &ColumnBrowser::openFileRequested, this, &FolderView::openFile);
}

FolderView::~FolderView() = default;

void FolderView::setViewIdentifier(const QString &identifier)
{
    ui->identifierField->setText(identifier);
}

QString FolderView::viewIdentifier() const
{
    return ui->identifierField->text();
}

ColumnBrowser *FolderView::browser() const
{
    return ui->browser;
}

void FolderView::openTheFile()
{
    if (leadsOutside())
        showLeadsOutside();
    ui->browser->setBoundary(bundlePath());
    ui->browser->initBrowserWithPath(fullPath());
}

bool FolderView::searchString(const QString &text) const
{
    const QString folder = fullPath();
    if (folder.isEmpty())
        return false;
    const QStringList names = EntryListModel::visibleDirectoryContentsAtPath(folder);
    return std::any_of(names.cbegin(), names.cend(),
                       [&text](const QString &name) { return name.contains(text, Qt::CaseSensitive); });
}

int FolderView::fileTypeForPath(const QString &path)
{
    // Inside a folder an Info.plist is just text.
    return fileKindForPath(path, false);
}

void FolderView::openFile(const QString &path)
{
    const QString bundle = bundlePath();
    ContentArea *area = ContentArea::of(this);
    if (bundle.isEmpty() || !area)
        return;
    const QString identifier = path.mid(bundle.size() + 1);
    const int kind = fileTypeForPath(path);
    if (kind == FolderKind && !area->viewFor(identifier))
        area->showEmpty();
    else
        area->open(identifier, kind);
}
