// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/CommandLineStart.h"

#include <QCommandLineParser>

namespace CommandLineStart {

QStringList arguments(int argc, char **argv)
{
    QStringList all;
    for (int i = 0; i < argc; ++i)
        all.append(QString::fromLocal8Bit(argv[i]));
    return all;
}

bool answersWithoutWindow(QCommandLineParser &parser, const QStringList &arguments)
{
    return !parser.parse(arguments) || parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))
        || parser.isSet(QStringLiteral("help-all"));
}

void withoutDisplay()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace CommandLineStart
