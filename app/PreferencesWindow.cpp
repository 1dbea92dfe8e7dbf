// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/PreferencesWindow.h"

#include "ui_Preferences.h"

#include "chrome/PreferencesToolbar.h"
#include "platform/Settings.h"

#include <QMainWindow>
#include <QTabBar>

PreferencesWindow &PreferencesWindow::shared()
{
    static PreferencesWindow instance;
    return instance;
}

PreferencesWindow::PreferencesWindow()
    : m_window(std::make_unique<QMainWindow>())
    , ui(std::make_unique<Ui::Preferences>())
{
    ui->setupUi(m_window.get());
    // The toolbar switches panes; the tab bar would say it twice.
    ui->tabView->tabBar()->hide();
    ui->editorFontSize->setRange(Settings::MinimumEditorFontSize, Settings::MaximumEditorFontSize);
    ui->editorFontSize->setValue(Settings::shared().editorFontSize());
    connect(ui->editorFontSize, &QSpinBox::valueChanged, &Settings::shared(), &Settings::setEditorFontSize);
    m_toolbar = new PreferencesToolbar(ui->tabView);
    m_toolbar->setUp();
}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::show()
{
    ui->editorFontSize->setValue(Settings::shared().editorFontSize());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
