// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "templates/VariableView.h"

#include <memory>

namespace Ui {
class ListVariableView;
}

/// An "Array" variable: a list of values, each written through the
/// variable's format (where "Template_Val" stands for the value), one after
/// the other. An empty list writes the default list.
class ListVariableView : public VariableView
{
    Q_OBJECT

public:
    explicit ListVariableView(QWidget *parent = nullptr);
    ~ListVariableView() override;

    void setInfoDictionary(const QVariantMap &info) override;
    Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) override;

private:
    void add();
    void remove();
    /// The list as the pop-up holds it.
    QStringList values() const;

    /// The format once per value, "Template_Val" replaced by the value.
    static QString expansion(const QStringList &values, const QString &format);

    std::unique_ptr<Ui::ListVariableView> ui;
};
