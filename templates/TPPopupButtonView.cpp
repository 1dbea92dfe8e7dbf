// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TPPopupButtonView.h"

#include "ui_TPPopupButtonView.h"

TPPopupButtonView::TPPopupButtonView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::TPPopupButtonView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->popUp);
}

TPPopupButtonView::~TPPopupButtonView() = default;

void TPPopupButtonView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
    ui->popUp->removeItem(0);
    for (const QVariant &option : info.value(QStringLiteral("TPVOptions")).toList())
        addItemWithTitle(ui->popUp, option.toString());
    ui->popUp->setCurrentIndex(ui->popUp->count() > 0 ? 0 : -1);
}

Outcome TPPopupButtonView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    // No option chosen, or no value at its place: the placeholder is removed.
    const QVariantList values = info.value(QStringLiteral("TPVValues")).toList();
    const int chosen = ui->popUp->currentIndex();
    return writeValue(widgetPath, info, chosen >= 0 && chosen < values.size() ? values.at(chosen).toString() : QString());
}
