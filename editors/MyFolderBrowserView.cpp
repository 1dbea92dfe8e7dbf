// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyFolderBrowserView.h"

#include "ui_MyFolderBrowserView.h"

#include "editors/ContentArea.h"
#include "editors/EntryListModel.h"
#include "editors/PaneFileBrowser.h"

#include <QFileInfo>

MyFolderBrowserView::MyFolderBrowserView(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::MyFolderBrowserView>())
{
    ui->setupUi(this);
    connect(ui->browser, &PaneFileBrowser::openFileRequested, this, &MyFolderBrowserView::openFile);
}

MyFolderBrowserView::~MyFolderBrowserView() = default;

void MyFolderBrowserView::setViewIdentifier(const QString &identifier)
{
    ui->identifierField->setText(identifier);
}

QString MyFolderBrowserView::viewIdentifier() const
{
    return ui->identifierField->text();
}

PaneFileBrowser *MyFolderBrowserView::browser() const
{
    return ui->browser;
}

void MyFolderBrowserView::openTheFile()
{
    if (leadsOutside())
        showLeadsOutside();
    ui->browser->setBoundary(bundlePath());
    ui->browser->initBrowserWithPath(fullPath());
}

bool MyFolderBrowserView::searchString(const QString &text) const
{
    const QString folder = fullPath();
    if (folder.isEmpty())
        return false;
    const QStringList names = EntryListModel::visibleDirectoryContentsAtPath(folder);
    return std::any_of(names.cbegin(), names.cend(),
                       [&text](const QString &name) { return name.contains(text, Qt::CaseSensitive); });
}

int MyFolderBrowserView::fileTypeForPath(const QString &path)
{
    // Inside a folder an Info.plist is just text.
    return fileKindForPath(path, false);
}

void MyFolderBrowserView::openFile(const QString &path)
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
