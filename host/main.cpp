// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/HostApplication.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The web engine shares its OpenGL contexts with the application's, which
    // must know before it exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    HostApplication host;
    return host.run(application.arguments().mid(1));
}
