// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QStringList>

class QCommandLineParser;

/// What both programs do before their application exists: read the command
/// line whole (in any spelling the parser takes, "--option=value" and
/// grouped short options included), so that what answers and quits (help,
/// the version, a command line that is wrong) runs where there is no
/// display, started off screen.
namespace CommandLineStart {

/// The program's arguments, as the application gives them.
QStringList arguments(int argc, char **argv);
/// Parses `arguments` with `parser`, which has the help and version
/// options; whether that answers and quits without a window.
bool answersWithoutWindow(QCommandLineParser &parser, const QStringList &arguments);
/// Makes the application start off screen, unless a platform was asked for.
void withoutDisplay();

} // namespace CommandLineStart
