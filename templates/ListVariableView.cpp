// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/ListVariableView.h"

#include "ui_ListVariableView.h"

ListVariableView::ListVariableView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::ListVariableView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->entryField);
    connect(ui->addButton, &QPushButton::clicked, this, &ListVariableView::add);
    connect(ui->removeButton, &QPushButton::clicked, this, &ListVariableView::remove);
}

ListVariableView::~ListVariableView() = default;

void ListVariableView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
    ui->popUp->removeItem(0);
}

QStringList ListVariableView::values() const
{
    return itemTitles(ui->popUp);
}

void ListVariableView::add()
{
    if (ui->entryField->text().isEmpty())
        return;
    addItemWithTitle(ui->popUp, ui->entryField->text());
    ui->popUp->setCurrentIndex(ui->popUp->count() - 1);
    ui->entryField->clear();
}

void ListVariableView::remove()
{
    ui->popUp->removeItem(ui->popUp->currentIndex());
}

QString ListVariableView::expansion(const QStringList &values, const QString &format)
{
    QString text;
    for (const QString &value : values)
        text += QString(format).replace(QStringLiteral("Template_Val"), value);
    return text;
}

Outcome ListVariableView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    QStringList list = values();
    if (list.isEmpty())
        list = info.value(QStringLiteral("TPVDefaultValue")).toStringList();
    return writeValue(widgetPath, info, expansion(list, info.value(QStringLiteral("TPVFormat")).toString()));
}
