// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/QuilletApplication.h"

#include <cstring>

namespace {

// Commands that print and quit, and so must also run where there is no display.
bool showsNoWindow(const char *argument)
{
    for (const char *option : {"--check", "--export-zip", "--help", "-h", "--help-all", "--version", "-v"}) {
        if (std::strcmp(argument, option) == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (showsNoWindow(argv[i]) && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QuilletApplication application(argc, argv);
    return application.run();
}
