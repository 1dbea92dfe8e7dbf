// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "templates/VariableView.h"

#include <memory>

namespace Ui {
class TextVariableView;
}

/// A "Text" variable: a label and an entry field that starts empty. An empty
/// field writes the variable's default, or nothing at all.
class TextVariableView : public VariableView
{
    Q_OBJECT

public:
    explicit TextVariableView(QWidget *parent = nullptr);
    ~TextVariableView() override;

    void setInfoDictionary(const QVariantMap &info) override;
    Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) override;

private:
    std::unique_ptr<Ui::TextVariableView> ui;
};
