// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyImageFileView.h"

#include "ui_MyImageFileView.h"

#include "platform/FileManager.h"
#include "platform/Images.h"

#include <QImageReader>

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
    // An unreadable file shows no image.
    ui->imageView->setImage(QImageReader(fullPath()).read());
    rememberFileOnDisk();
}

void MyImageFileView::save()
{
    const QString path = fullPath();
    if (!isEdited() || path.isEmpty())
        return;
    const QByteArray data = Images::encodedForPath(ui->imageView->image(), path);
    if (!data.isEmpty() && FileManager::writeFile(path, data)) {
        ui->imageView->markSaved();
        rememberFileOnDisk();
    }
}

bool MyImageFileView::isEdited() const
{
    return ui->imageView->isReplaced();
}

QImage MyImageFileView::image() const
{
    return ui->imageView->image();
}
