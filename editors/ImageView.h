// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/ContentView.h"

#include <memory>

namespace Ui {
class ImageView;
}

/// Shows one image of the bundle. Its file is written only after the user
/// replaced the image (by dropping or pasting one), in the format the file's
/// name asks for when it can be written, PNG otherwise; an image the user
/// did not change is never rewritten.
class ImageView : public ContentView
{
    Q_OBJECT

public:
    explicit ImageView(QWidget *parent = nullptr);
    ~ImageView() override;

    void setViewIdentifier(const QString &identifier) override;
    QString viewIdentifier() const override;
    void openTheFile() override;
    bool searchString(const QString &) const override { return false; }
    bool isEdited() const override;

    /// The image shown, for the form's callers and tests.
    QImage image() const;

protected:
    Outcome writeEdits() override;

private:
    std::unique_ptr<Ui::ImageView> ui;
};
