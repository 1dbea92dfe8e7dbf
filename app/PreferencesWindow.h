// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class PreferencesToolbar;
class QMainWindow;
namespace Ui {
class Preferences;
}

/// The one preferences window of the application, made from the form
/// "Preferences" the first time it is asked for. Its controls write the
/// settings at once; there is nothing to apply or cancel.
class PreferencesWindow : public QObject
{
    Q_OBJECT

public:
    static PreferencesWindow &shared();
    ~PreferencesWindow() override;

    /// Shows the window and brings it forward.
    void show();
    QMainWindow *window() const { return m_window.get(); }

private:
    PreferencesWindow();

    std::unique_ptr<QMainWindow> m_window;
    std::unique_ptr<Ui::Preferences> ui;
    PreferencesToolbar *m_toolbar = nullptr;
};
