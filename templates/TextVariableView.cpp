// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TextVariableView.h"

#include "ui_TextVariableView.h"

TextVariableView::TextVariableView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::TextVariableView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->valueField);
}

TextVariableView::~TextVariableView() = default;

void TextVariableView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
    // Shown greyed, not filled in: an empty field is what writes the default.
    ui->valueField->setPlaceholderText(info.value(QStringLiteral("TPVDefaultValue")).toString());
}

Outcome TextVariableView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QString typed = ui->valueField->text();
    return writeValue(widgetPath, info,
                      typed.isEmpty() ? info.value(QStringLiteral("TPVDefaultValue")).toString() : typed);
}
