// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "templates/VariableView.h"

#include <memory>

namespace Ui {
class CheckboxVariableView;
}

/// A "Checkbox" variable: its box chooses between the checked and the
/// unchecked text. It starts checked unless the default is "0".
class CheckboxVariableView : public VariableView
{
    Q_OBJECT

public:
    explicit CheckboxVariableView(QWidget *parent = nullptr);
    ~CheckboxVariableView() override;

    void setInfoDictionary(const QVariantMap &info) override;
    Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) override;

private:
    std::unique_ptr<Ui::CheckboxVariableView> ui;
};
