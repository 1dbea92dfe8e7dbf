// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/CommandLine.h"
#include "app/QuilletApplication.h"
#include "platform/CommandLineStart.h"

#include <cstdio>

namespace {

// What Qt says by the way (a missing runtime folder, an image reader's
// complaint about a picture it reads anyway) would be taken for the
// command's own lines; only what ends the program is still said.
void keepToOwnLines(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        std::fputs(qUtf8Printable(message + u'\n'), stderr);
}

} // namespace

int main(int argc, char *argv[])
{
    CommandLine commandLine(CommandLineStart::arguments(argc, argv));
    if (!commandLine.showsWindow()) {
        CommandLineStart::withoutDisplay();
        qInstallMessageHandler(keepToOwnLines);
    }
    QuilletApplication application(argc, argv);
    return application.run(commandLine);
}
