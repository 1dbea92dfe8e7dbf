// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/ContentView.h"

#include <memory>

namespace Ui {
class EmptyView;
}

/// What the content area shows while no file is selected. It stands for no
/// file: its identifier is always "" and it neither reads nor writes.
class EmptyView : public ContentView
{
    Q_OBJECT

public:
    explicit EmptyView(QWidget *parent = nullptr);
    ~EmptyView() override;

    void setViewIdentifier(const QString &) override { }
    QString viewIdentifier() const override { return {}; }
    void openTheFile() override { }
    bool searchString(const QString &) const override { return false; }

protected:
    Outcome writeEdits() override { return {}; }

private:
    std::unique_ptr<Ui::EmptyView> ui;
};
