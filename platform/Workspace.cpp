// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Workspace.h"

#include "platform/DesktopEntry.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

const QString Workspace::WidgetHostApplication = QStringLiteral("quillet-host");

namespace {
const QString HostProgramName = QStringLiteral("quillet-host");
} // namespace

QString Workspace::widgetHostProgram()
{
    const QString here = QCoreApplication::applicationDirPath();
    const QString beside = QStandardPaths::findExecutable(HostProgramName, {here, here + QStringLiteral("/host")});
    return beside.isEmpty() ? QStandardPaths::findExecutable(HostProgramName) : beside;
}

Outcome Workspace::openFile(const QString &path, const QString &application)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("Workspace", text); };
    if (responder)
        return responder(path, application) ? Outcome()
                                            : Outcome::failure(application, tr("The program could not be started"));
    if (application.endsWith(QLatin1String(".desktop")))
        return DesktopEntry::launch(application, path);
    const QString program = application == WidgetHostApplication ? widgetHostProgram() : application;
    if (program.isEmpty())
        return Outcome::failure(application, tr("The program could not be found beside Quillet or on the PATH"));
    if (!QProcess::startDetached(program, {path}))
        return Outcome::failure(program, tr("The program could not be started"));
    return {};
}
