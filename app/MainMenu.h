// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QMainWindow;
class DocumentWindowCommands;
namespace Ui {
class MainMenu;
}

/// The application's menu bar, from the form "MainMenu", put on each
/// document window (a Linux window carries its own menu bar). File commands
/// go to the document framework; Edit commands to the focused editor;
/// Widget commands to the window's toolbar commands.
class MainMenu : public QObject
{
    Q_OBJECT

public:
    /// Builds the menu bar on `window`; the menu lives as long as the window.
    explicit MainMenu(QMainWindow *window);
    ~MainMenu() override;

    /// Enables Preview while no preview shows, and Stop Preview while one does.
    void setPreviewShowing(bool showing);

private:
    void connectFileMenu();
    void fillRecentMenu();
    void connectEditMenu();
    void connectWidgetMenu();
    std::function<void()> toolbarCommand(const std::function<void(DocumentWindowCommands &)> &command) const;

    QMainWindow *m_window;
    std::unique_ptr<Ui::MainMenu> ui;
};
