// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/CommandLine.h"

#include "platform/CommandLineStart.h"

CommandLine::CommandLine(const QStringList &arguments)
    : m_check(QStringLiteral("check"),
              tr("Check the bundles, print one line per problem and quit: 1 when any has an error."))
    , m_exportZip(QStringLiteral("export-zip"), tr("Zip the widget <bundle> into the one file named, and quit."),
                  tr("bundle"))
{
    m_parser.setApplicationDescription(
        tr("Quillet edits Dashboard widgets: .wdgt bundles of HTML, CSS and JavaScript."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addPositionalArgument(tr("bundles"), tr("Widget bundles to open; a new widget when none is given."),
                                   tr("[bundle.wdgt...]"));
    m_parser.addOption(m_check);
    m_parser.addOption(m_exportZip);
    m_showsWindow = !CommandLineStart::answersWithoutWindow(m_parser, arguments) && !checks() && !exportsZip();
}
