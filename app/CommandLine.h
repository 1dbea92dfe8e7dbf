// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>

/// The editor's command line, read whole before the application starts.
/// The commands that print and quit (--check, --export-zip, --help,
/// --version, and a command line that is wrong, which is answered with why)
/// open no window, so they must run where there is no display, in any
/// spelling the parser takes (`--export-zip=a.wdgt`, `-hv`).
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    explicit CommandLine(const QStringList &arguments);

    /// Whether the program opens windows; false for the commands above.
    bool showsWindow() const { return m_showsWindow; }

    /// Answers --help, --version and a wrong command line, ending the
    /// program; the application must be made by then.
    void process(const QStringList &arguments) { m_parser.process(arguments); }

    bool checks() const { return m_parser.isSet(m_check); }
    bool exportsZip() const { return m_parser.isSet(m_exportZip); }
    /// The bundle --export-zip names.
    QString exportedBundle() const { return m_parser.value(m_exportZip); }
    QStringList positionalArguments() const { return m_parser.positionalArguments(); }

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_check;
    QCommandLineOption m_exportZip;
    bool m_showsWindow = true;
};
