// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QApplication>

class CommandLine;

/// The editor as a program: names itself, lets the document framework make
/// WidgetDocuments, and opens the bundles named on the command line, or a new
/// untitled document when none is named; with `--check`, checks them instead
/// and prints what it finds, opening no window.
class QuilletApplication : public QApplication
{
    Q_OBJECT

public:
    QuilletApplication(int &argc, char **argv);

    /// Carries out the command line: opens the documents it names and runs
    /// the event loop, or runs the command that prints and quits.
    int run(CommandLine &commandLine);

private:
    /// Zips `bundle` into the one file `zips` names; 1 on a failure, said
    /// on standard error.
    static int exportZip(const QString &bundle, const QStringList &zips);
    /// One line per problem on standard output; 1 when any is an error.
    static int checkBundles(const QStringList &paths);
};
