// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/HostApplication.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstring>

namespace {

// Options that print and quit, and so must also run where there is no
// display: the manual page is made from them while the package is built.
bool showsNoWindow(const char *argument)
{
    for (const char *option : {"--help", "-h", "--help-all", "--version", "-v"}) {
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
    // The web engine shares its OpenGL contexts with the application's, which
    // must know before it exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QT_STRINGIFY(QUILLET_VERSION)));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main",
                                "quillet-host runs installed Dashboard widgets, each in a borderless window\n"
                                "of its own. A later start hands its bundles to the host already running."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QApplication::translate("main", "bundles"),
                                 QApplication::translate("main", "Widget bundles to show."),
                                 QApplication::translate("main", "bundle.wdgt..."));
    // Refuses an unknown option rather than taking it for a bundle's name.
    parser.process(application);
    HostApplication host;
    return host.run(parser.positionalArguments());
}
