// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/EmptyView.h"

#include "ui_EmptyView.h"

EmptyView::EmptyView(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::EmptyView>())
{
    ui->setupUi(this);
}

EmptyView::~EmptyView() = default;
