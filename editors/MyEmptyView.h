// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/ContentView.h"

#include <memory>

namespace Ui { class MyEmptyView; }

/// What the content area shows while no file is selected. It stands for no
/// file: its identifier is always "" and it neither reads nor writes.
class MyEmptyView : public ContentView
{
    Q_OBJECT

public:
    explicit MyEmptyView(QWidget *parent = nullptr);
    ~MyEmptyView() override;

    void setViewIdentifier(const QString &) override {}
    QString viewIdentifier() const override { return {}; }
    void openTheFile() override {}
    bool searchString(const QString &) const override { return false; }

protected:
    Outcome writeEdits() override { return {}; }

private:
    std::unique_ptr<Ui::MyEmptyView> ui;
};
