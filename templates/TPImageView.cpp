// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TPImageView.h"

#include "ui_TPImageView.h"

#include "platform/FileManager.h"
#include "platform/Images.h"
#include "platform/OpenPanel.h"
#include "templates/PlaceholderSubstitution.h"

#include <QImageReader>

TPImageView::TPImageView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::TPImageView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->browseButton);
    connect(ui->browseButton, &QPushButton::clicked, this, &TPImageView::browseButton);
}

TPImageView::~TPImageView() = default;

void TPImageView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
}

QImage TPImageView::image() const
{
    return ui->imageView->image();
}

void TPImageView::browseButton()
{
    QStringList types;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        types.append(QString::fromLatin1(format));
    const QStringList chosen = OpenPanel::run(this, {tr("Choose an Image"), tr("Images"), types, false, false, {}});
    if (!chosen.isEmpty())
        ui->imageView->setImage(QImageReader(chosen.first()).read());
}

void TPImageView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QString defaultImage = info.value(QStringLiteral("TPVDefaultValue")).toString();
    for (const QString &entry : files(info)) {
        const std::optional<QString> target = PlaceholderSubstitution::pathInWidget(widgetPath, entry);
        if (!target)
            continue;
        if (!image().isNull()) {
            const QByteArray data = Images::encodedForPath(image(), *target);
            if (!data.isEmpty())
                FileManager::writeFile(*target, data);
        } else if (!defaultImage.isEmpty()) {
            // Never replaces: a file the template holds there stays.
            FileManager::copyItem(defaultImage, *target);
        }
    }
}
