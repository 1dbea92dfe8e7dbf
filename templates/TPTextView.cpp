// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TPTextView.h"

#include "ui_TPTextView.h"

TPTextView::TPTextView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::TPTextView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->valueField);
}

TPTextView::~TPTextView() = default;

void TPTextView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
    // Shown greyed, not filled in: an empty field is what writes the default.
    ui->valueField->setPlaceholderText(info.value(QStringLiteral("TPVDefaultValue")).toString());
}

Outcome TPTextView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QString typed = ui->valueField->text();
    return writeValue(widgetPath, info,
               typed.isEmpty() ? info.value(QStringLiteral("TPVDefaultValue")).toString() : typed);
}
