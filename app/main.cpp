// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/QuilletApplication.h"

int main(int argc, char *argv[])
{
    QuilletApplication application(argc, argv);
    return application.run();
}
