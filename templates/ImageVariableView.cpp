// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/ImageVariableView.h"

#include "ui_ImageVariableView.h"

#include "platform/FileManager.h"
#include "platform/Images.h"
#include "platform/OpenPanel.h"
#include "templates/PlaceholderSubstitution.h"

#include <QImageReader>

ImageVariableView::ImageVariableView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::ImageVariableView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->browseButton);
    connect(ui->browseButton, &QPushButton::clicked, this, &ImageVariableView::browseButton);
}

ImageVariableView::~ImageVariableView() = default;

void ImageVariableView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
}

QImage ImageVariableView::image() const
{
    return ui->imageView->image();
}

void ImageVariableView::browseButton()
{
    QStringList types;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        types.append(QString::fromLatin1(format));
    const QStringList chosen = OpenPanel::run(this, {tr("Choose an Image"), tr("Images"), types, false, false, {}});
    if (!chosen.isEmpty())
        ui->imageView->setImage(QImageReader(chosen.first()).read());
}

Outcome ImageVariableView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QString defaultImage = defaultFile(widgetPath, info);
    Outcome first;
    for (const QString &entry : files(info)) {
        const std::optional<QString> target = PlaceholderSubstitution::pathInWidget(widgetPath, entry);
        Outcome written;
        if (!target)
            continue;
        if (!image().isNull()) {
            const QByteArray data = Images::encodedForPath(image(), *target);
            written = data.isEmpty()
                ? Outcome::failure(entry, tr("The image could not be encoded for this file's format"))
                : FileManager::writeFile(*target, data).naming(entry);
        } else if (!defaultImage.isEmpty() && !FileManager::exists(*target)) {
            // Never replaces: a file the template holds there stays.
            written = FileManager::copyItem(defaultImage, *target).naming(entry);
        }
        if (!written && first)
            first = written;
    }
    return first;
}
