// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TPCheckboxView.h"

#include "ui_TPCheckboxView.h"

TPCheckboxView::TPCheckboxView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::TPCheckboxView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->checkBox);
}

TPCheckboxView::~TPCheckboxView() = default;

void TPCheckboxView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->checkBox->setText(name); });
    if (info.value(QStringLiteral("TPVDefaultValue")).toString() != u"0")
        ui->checkBox->setChecked(true);
}

Outcome TPCheckboxView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QString key = ui->checkBox->isChecked() ? QStringLiteral("TPVCheckedValue")
                                                  : QStringLiteral("TPVUncheckedValue");
    return writeValue(widgetPath, info, info.value(key).toString());
}
