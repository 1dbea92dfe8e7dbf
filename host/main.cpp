// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/HostApplication.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

using namespace Qt::StringLiterals;

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
                                 QApplication::translate("main", "[bundle.wdgt...]"));
    const QCommandLineOption layer(
        QStringLiteral("layer"),
        QApplication::translate("main",
                                "Where the widgets stand: above other windows, on the desktop below them, "
                                "or in a dashboard shown and hidden at once (above, desktop, dashboard)."),
        QApplication::translate("main", "layer"));
    const QCommandLineOption showAll(QStringLiteral("show-all"),
                                     QApplication::translate("main", "Show every widget of the running host."));
    const QCommandLineOption hideAll(QStringLiteral("hide-all"),
                                     QApplication::translate("main", "Hide every widget of the running host."));
    const QCommandLineOption toggle(
        QStringLiteral("toggle"),
        QApplication::translate("main",
                                "Show the running host's widgets when none shows, else hide them: for a "
                                "key of the desktop's own shortcut settings."));
    parser.addOptions({layer, showAll, hideAll, toggle});
    // Read whole first: what prints and quits (help, the version, a wrong
    // command line, in any spelling) must run where there is no display,
    // as when the manual page is made while the package is built.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Commands for the running host need no display either.
    const bool showsWindow = parser.parse(arguments) && !parser.isSet(help) && !parser.isSet(version)
        && !parser.isSet(QStringLiteral("help-all")) && !parser.positionalArguments().isEmpty();
    if (!showsWindow && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The web engine shares its OpenGL contexts with the application's, which
    // must know before it exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QT_STRINGIFY(QUILLET_VERSION)));
    // Refuses an unknown option rather than taking it for a bundle's name.
    parser.process(application);
    QStringList commands;
    if (parser.isSet(layer)) {
        if (!WidgetLayers::named(parser.value(layer))) {
            QTextStream(stderr) << "quillet-host: no layer “" << parser.value(layer) << "”: above, desktop or dashboard"
                                << Qt::endl;
            return 2;
        }
        commands.append(u"layer="_s + parser.value(layer));
    }
    for (const auto &[option, command] :
         {std::pair(&showAll, u"show-all"_s), std::pair(&hideAll, u"hide-all"_s), std::pair(&toggle, u"toggle"_s)}) {
        if (parser.isSet(*option))
            commands.append(command);
    }
    HostApplication host;
    return host.run(parser.positionalArguments(), commands);
}
