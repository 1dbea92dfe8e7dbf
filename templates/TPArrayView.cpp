// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TPArrayView.h"

#include "ui_TPArrayView.h"

TPArrayView::TPArrayView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::TPArrayView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->entryField);
    connect(ui->addButton, &QPushButton::clicked, this, &TPArrayView::add);
    connect(ui->removeButton, &QPushButton::clicked, this, &TPArrayView::remove);
}

TPArrayView::~TPArrayView() = default;

void TPArrayView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
    ui->popUp->removeItem(0);
}

QStringList TPArrayView::values() const
{
    return itemTitles(ui->popUp);
}

void TPArrayView::add()
{
    if (ui->entryField->text().isEmpty())
        return;
    addItemWithTitle(ui->popUp, ui->entryField->text());
    ui->popUp->setCurrentIndex(ui->popUp->count() - 1);
    ui->entryField->clear();
}

void TPArrayView::remove()
{
    ui->popUp->removeItem(ui->popUp->currentIndex());
}

QString TPArrayView::expansion(const QStringList &values, const QString &format)
{
    QString text;
    for (const QString &value : values)
        text += QString(format).replace(QStringLiteral("Template_Val"), value);
    return text;
}

Outcome TPArrayView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    QStringList list = values();
    if (list.isEmpty())
        list = info.value(QStringLiteral("TPVDefaultValue")).toStringList();
    return writeValue(widgetPath, info, expansion(list, info.value(QStringLiteral("TPVFormat")).toString()));
}
