// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <functional>

/// Hands files to other programs.
class Workspace
{
public:
    /// The name under which the widget host is asked for: widgets are
    /// "opened with" it to run them.
    static const QString WidgetHostApplication;

    /// Starts `application` on `path` and returns at once. The widget host's
    /// name starts the host program that comes with the editor; any other
    /// name is a program to start. False when nothing could be started.
    static bool openFile(const QString &path, const QString &application);

    /// Where the widget host program is: beside the editor (installed, or in
    /// its build folder), else on the PATH. Empty when it cannot be found.
    static QString widgetHostProgram();

    /// When set, receives every request in place of starting a program (tests).
    static inline std::function<bool(const QString &path, const QString &application)> responder;
};
