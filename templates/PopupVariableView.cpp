// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/PopupVariableView.h"

#include "ui_PopupVariableView.h"

PopupVariableView::PopupVariableView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::PopupVariableView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->popUp);
}

PopupVariableView::~PopupVariableView() = default;

void PopupVariableView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
    ui->popUp->removeItem(0);
    for (const QVariant &option : info.value(QStringLiteral("TPVOptions")).toList())
        addItemWithTitle(ui->popUp, option.toString());
    ui->popUp->setCurrentIndex(ui->popUp->count() > 0 ? 0 : -1);
}

Outcome PopupVariableView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    // No option chosen, or no value at its place: the placeholder is removed.
    const QVariantList values = info.value(QStringLiteral("TPVValues")).toList();
    const int chosen = ui->popUp->currentIndex();
    return writeValue(widgetPath, info,
                      chosen >= 0 && chosen < values.size() ? values.at(chosen).toString() : QString());
}
