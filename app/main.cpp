// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/QuilletApplication.h"

#include <cstring>

int main(int argc, char *argv[])
{
    // A check prints and quits, so it must also run where there is no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0 && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QuilletApplication application(argc, argv);
    return application.run();
}
