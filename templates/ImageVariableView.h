// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "templates/VariableView.h"

#include <memory>

namespace Ui {
class ImageVariableView;
}

/// An "Image" variable: a picture chosen with Browse (or dropped or pasted
/// on the well) replaces every listed image file of the new widget. With no
/// picture, the default image fills only listed places that hold no file.
class ImageVariableView : public VariableView
{
    Q_OBJECT

public:
    explicit ImageVariableView(QWidget *parent = nullptr);
    ~ImageVariableView() override;

    void setInfoDictionary(const QVariantMap &info) override;
    Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) override;

private:
    void browseButton();
    /// The picture the well holds; null when none was chosen.
    QImage image() const;

    std::unique_ptr<Ui::ImageVariableView> ui;
};
