// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <QStringList>

#include <functional>

/// Hands files to other programs.
class Workspace
{
public:
    /// The name under which the widget host is asked for: widgets are
    /// "opened with" it to run them.
    static const QString WidgetHostApplication;

    /// Starts `application` on `path` and returns at once. The widget host's
    /// name starts the host program that comes with the editor; a desktop
    /// entry (".desktop") starts its application (see DesktopEntry); anything
    /// else is a program to start. A failure names the program that could
    /// not be found or started.
    static Outcome openFile(const QString &path, const QString &application);

    /// Where the widget host program is: beside the editor (installed, or in
    /// its build folder), else on the PATH. Empty when it cannot be found.
    static QString widgetHostProgram();

    /// When set, receives every request in place of starting a program (tests).
    static inline std::function<bool(const QString &path, const QString &application)> responder;
};
