// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

const QString Workspace::WidgetHostApplication = QStringLiteral("Dock");

namespace {
const QString HostProgramName = QStringLiteral("quillet-host");
} // namespace

QString Workspace::widgetHostProgram()
{
    const QString here = QCoreApplication::applicationDirPath();
    const QString beside = QStandardPaths::findExecutable(HostProgramName, {here, here + QStringLiteral("/host")});
    return beside.isEmpty() ? QStandardPaths::findExecutable(HostProgramName) : beside;
}

bool Workspace::openFile(const QString &path, const QString &application)
{
    if (responder)
        return responder(path, application);
    const QString program = application == WidgetHostApplication ? widgetHostProgram() : application;
    return !program.isEmpty() && QProcess::startDetached(program, {path});
}
