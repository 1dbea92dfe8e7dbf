// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QFile>
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

QStringList Workspace::desktopEntryCommand(const QString &entryPath, const QString &path)
{
    QFile entry(entryPath);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString exec;
    bool inMainGroup = false;
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(u'['))
            inMainGroup = line == u"[Desktop Entry]";
        else if (inMainGroup && line.startsWith(QLatin1String("Exec=")))
            exec = line.mid(5);
    }
    QStringList command;
    bool gaveFile = false;
    for (QString argument : QProcess::splitCommand(exec)) {
        if (argument == u"%f" || argument == u"%F" || argument == u"%u" || argument == u"%U") {
            command.append(path);
            gaveFile = true;
            continue;
        }
        // Other field codes (%i %c %k, deprecated ones) have nothing to stand for here.
        if (argument.size() == 2 && argument.startsWith(u'%'))
            continue;
        command.append(argument.replace(QStringLiteral("%%"), QStringLiteral("%")));
    }
    if (!command.isEmpty() && !gaveFile)
        command.append(path);
    return command;
}

Outcome Workspace::openFile(const QString &path, const QString &application)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("Workspace", text); };
    if (responder)
        return responder(path, application) ? Outcome() : Outcome::failure(application, tr("The program could not be started"));
    QStringList command;
    if (application.endsWith(QLatin1String(".desktop"))) {
        command = desktopEntryCommand(application, path);
        if (command.isEmpty())
            return Outcome::failure(application, tr("The desktop entry gives no command to start"));
    } else {
        const QString program = application == WidgetHostApplication ? widgetHostProgram() : application;
        if (program.isEmpty())
            return Outcome::failure(application, tr("The program could not be found beside Quillet or on the PATH"));
        command = QStringList{program, path};
    }
    if (!QProcess::startDetached(command.first(), command.mid(1)))
        return Outcome::failure(command.first(), tr("The program could not be started"));
    return {};
}
