// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ImageView.h"

#include "ui_ImageView.h"

#include "editors/NoticeBar.h"
#include "platform/FileManager.h"
#include "platform/Images.h"


ImageView::ImageView(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::ImageView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->imageView);
}

ImageView::~ImageView() = default;

void ImageView::setViewIdentifier(const QString &identifier)
{
    ui->identifierField->setText(identifier);
}

QString ImageView::viewIdentifier() const
{
    return ui->identifierField->text();
}

void ImageView::openTheFile()
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

Outcome ImageView::writeEdits()
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

bool ImageView::isEdited() const
{
    return ui->imageView->isReplaced();
}

QImage ImageView::image() const
{
    return ui->imageView->image();
}
