// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "templates/VariableView.h"

#include <memory>

namespace Ui {
class FileVariableView;
}

/// A "File" variable: the chosen file (or the default) is copied into the
/// folder the first listed entry names, and the listed text files get its
/// path within the widget in place of the placeholder.
class FileVariableView : public VariableView
{
    Q_OBJECT

public:
    explicit FileVariableView(QWidget *parent = nullptr);
    ~FileVariableView() override;

    void setInfoDictionary(const QVariantMap &info) override;
    Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) override;

private:
    void browseButton();

    std::unique_ptr<Ui::FileVariableView> ui;
};
