// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/HostApplication.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main",
                                "quillet-host runs installed Dashboard widgets, each in a borderless window\n"
                                "of its own. A later start hands its bundles to the host already running."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QApplication::translate("main", "bundles"),
                                 QApplication::translate("main", "Widget bundles to show."),
                                 QApplication::translate("main", "bundle.wdgt..."));
    // Read whole first: what prints and quits (help, the version, a wrong
    // command line, in any spelling) must run where there is no display,
    // as when the manual page is made while the package is built.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bool showsWindow = parser.parse(arguments) && !parser.isSet(help) && !parser.isSet(version)
        && !parser.isSet(QStringLiteral("help-all"));
    if (!showsWindow && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The web engine shares its OpenGL contexts with the application's, which
    // must know before it exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QT_STRINGIFY(QUILLET_VERSION)));
    // Refuses an unknown option rather than taking it for a bundle's name.
    parser.process(application);
    HostApplication host;
    return host.run(parser.positionalArguments());
}
