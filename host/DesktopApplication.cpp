// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/DesktopApplication.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// The "Exec" value of the main group; desktop entries are not quite INI
// files (commas and backslashes mean other things), so they are read here.
QString execValue(const QString &entryPath)
{
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream stream(&file);
    bool inMainGroup = false;
    QString line;
    while (stream.readLineInto(&line)) {
        if (line.startsWith(u'['))
            inMainGroup = line == u"[Desktop Entry]";
        else if (inMainGroup && line.startsWith(u"Exec="))
            return line.sliced(5);
    }
    return {};
}

bool isFieldCode(const QString &argument)
{
    return argument.size() == 2 && argument.at(0) == u'%' && argument.at(1) != u'%';
}

QString entryFor(const QString &identifier)
{
    if (identifier.isEmpty() || identifier.contains(u'/'))
        return {};
    for (const QString &name : {identifier, identifier.section(u'.', -1).toLower()}) {
        const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                                    name + u".desktop"_s);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

// The program and arguments, without the field codes that stand for the
// files and URLs an application is given.
QStringList command(const QString &entryPath)
{
    if (entryPath.isEmpty())
        return {};
    QStringList arguments = QProcess::splitCommand(execValue(entryPath));
    arguments.removeIf(isFieldCode);
    for (QString &argument : arguments)
        argument.replace(u"%%"_s, u"%"_s);
    return arguments;
}

} // namespace

bool DesktopApplication::launch(const QString &identifier)
{
    const QStringList program = command(entryFor(identifier));
    return !program.isEmpty() && QProcess::startDetached(program.first(), program.mid(1));
}
