// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/CheckboxVariableView.h"

#include "ui_CheckboxVariableView.h"

CheckboxVariableView::CheckboxVariableView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::CheckboxVariableView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->checkBox);
}

CheckboxVariableView::~CheckboxVariableView() = default;

void CheckboxVariableView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->checkBox->setText(name); });
    if (info.value(QStringLiteral("TPVDefaultValue")).toString() != u"0")
        ui->checkBox->setChecked(true);
}

Outcome CheckboxVariableView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QString key =
        ui->checkBox->isChecked() ? QStringLiteral("TPVCheckedValue") : QStringLiteral("TPVUncheckedValue");
    return writeValue(widgetPath, info, info.value(key).toString());
}
