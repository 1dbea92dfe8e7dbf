// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyImageFileView.h"

#include "ui_MyImageFileView.h"

#include "editors/NoticeBar.h"
#include "platform/FileManager.h"
#include "platform/Images.h"


MyImageFileView::MyImageFileView(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::MyImageFileView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->imageView);
}

MyImageFileView::~MyImageFileView() = default;

void MyImageFileView::setViewIdentifier(const QString &identifier)
{
    ui->identifierField->setText(identifier);
}

QString MyImageFileView::viewIdentifier() const
{
    return ui->identifierField->text();
}

void MyImageFileView::openTheFile()
{
    QByteArray bytes;
    const Outcome read = FileManager::readFile(fullPath(), &bytes);
    const bool outside = leadsOutside();
    if (!read)
        showUnreadable(read);
    else if (outside)
        showLeadsOutside();
    else
        notice()->hide();
    // Neither pasted nor dropped on: an image it cannot write takes no edits.
    ui->imageView->setEnabled(read && !outside);
    ui->imageView->setImage(QImage::fromData(bytes));
    rememberFileOnDisk();
}

Outcome MyImageFileView::writeEdits()
{
    if (!isEdited())
        return {};
    const QString path = fullPath();
    const QByteArray data = Images::encodedForPath(ui->imageView->image(), path);
    const Outcome written = data.isEmpty()
        ? Outcome::failure(path, tr("The image could not be encoded for this file's format"))
        : FileManager::writeFile(path, data);
    if (!written)
        return written.naming(viewIdentifier());
    ui->imageView->markSaved();
    rememberFileOnDisk();
    return written;
}

bool MyImageFileView::isEdited() const
{
    return ui->imageView->isReplaced();
}

QImage MyImageFileView::image() const
{
    return ui->imageView->image();
}
