// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/QuilletApplication.h"

int main(int argc, char *argv[])
{
    // The widget preview's web engine shares GL contexts; this must precede the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QuilletApplication application(argc, argv);
    return application.run();
}
