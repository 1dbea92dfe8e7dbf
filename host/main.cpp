// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/HostApplication.h"
#include "platform/CommandLineStart.h"

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
    parser.addHelpOption();
    parser.addVersionOption();
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
    const bool answers = CommandLineStart::answersWithoutWindow(parser, CommandLineStart::arguments(argc, argv));
    // The commands for the running host, as it takes them. A wrong command
    // line is left for the parser to report once the application exists.
    QStringList commands;
    if (!answers && parser.isSet(layer)) {
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
    // What answers and quits runs where there is no display, as when the
    // manual page is made while the package is built; so do commands for
    // the running host. A start with neither bundles nor commands brings
    // back the widgets that ran last, on the screen.
    if (answers || (parser.positionalArguments().isEmpty() && !commands.isEmpty()))
        CommandLineStart::withoutDisplay();
    // The web engine shares its OpenGL contexts with the application's, which
    // must know before it exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QT_STRINGIFY(QUILLET_VERSION)));
    // Refuses an unknown option rather than taking it for a bundle's name.
    parser.process(application);
    HostApplication host;
    return host.run(parser.positionalArguments(), commands);
}
