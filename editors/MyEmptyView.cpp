// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyEmptyView.h"

#include "ui_MyEmptyView.h"

MyEmptyView::MyEmptyView(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::MyEmptyView>())
{
    ui->setupUi(this);
}

MyEmptyView::~MyEmptyView() = default;
