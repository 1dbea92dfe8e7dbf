// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/FileVariableView.h"

#include "ui_FileVariableView.h"

#include "platform/FileManager.h"
#include "platform/OpenPanel.h"
#include "templates/PlaceholderSubstitution.h"

#include <QFileInfo>

namespace {
const QString TypeSeparator = QStringLiteral(", ");
} // namespace

FileVariableView::FileVariableView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::FileVariableView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->pathField);
    connect(ui->browseButton, &QPushButton::clicked, this, &FileVariableView::browseButton);
}

FileVariableView::~FileVariableView() = default;

void FileVariableView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
    ui->typesField->setText(info.value(QStringLiteral("TPVFileTypes")).toStringList().join(TypeSeparator));
}

void FileVariableView::browseButton()
{
    const QString shown = ui->typesField->text();
    const QStringList types = shown.isEmpty() ? QStringList() : shown.split(TypeSeparator);
    const QStringList chosen = OpenPanel::run(this, {tr("Choose an File"), shown, types, false, false, {}});
    if (!chosen.isEmpty())
        ui->pathField->setText(chosen.first());
}

Outcome FileVariableView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QString chosen = ui->pathField->text();
    const QString source = chosen.isEmpty() ? defaultFile(widgetPath, info) : chosen;
    const QString name = QFileInfo(source).fileName();
    const QStringList entries = files(info);
    // The folder comes first in the list; the path the text files get is built from it.
    const QString relative = entries.isEmpty() ? name : entries.first() + u'/' + name;
    const QString placeholder =
        PlaceholderSubstitution::placeholderFor(info.value(QStringLiteral("TPVName")).toString());
    Outcome first;
    for (const QString &entry : entries) {
        const std::optional<QString> target = PlaceholderSubstitution::pathInWidget(widgetPath, entry);
        Outcome written;
        if (!target || !FileManager::exists(*target))
            continue;
        if (!FileManager::isDirectory(*target))
            written = PlaceholderSubstitution::apply(widgetPath, entry, placeholder,
                                                     source.isEmpty() ? QString() : relative, writing());
        else if (!source.isEmpty() && FileManager::exists(source) && !FileManager::exists(*target + u'/' + name))
            written = FileManager::copyItem(source, *target + u'/' + name); // never over an existing file
        if (!written && first)
            first = written;
    }
    return first;
}
