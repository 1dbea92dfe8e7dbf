// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "templates/VariableView.h"

#include <memory>

namespace Ui {
class PopupVariableView;
}

/// A "PopupButton" variable: the chosen option writes the value at the same
/// position. A title that repeats is listed once, at its last place.
class PopupVariableView : public VariableView
{
    Q_OBJECT

public:
    explicit PopupVariableView(QWidget *parent = nullptr);
    ~PopupVariableView() override;

    void setInfoDictionary(const QVariantMap &info) override;
    Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) override;

private:
    std::unique_ptr<Ui::PopupVariableView> ui;
};
