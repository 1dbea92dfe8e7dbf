// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QApplication>

/// The editor as a program: names itself, lets the document framework make
/// WidgetDocuments, and opens the bundles named on the command line, or a new
/// untitled document when none is named; with `--check`, checks them instead
/// and prints what it finds, opening no window.
class QuilletApplication : public QApplication
{
    Q_OBJECT

public:
    QuilletApplication(int &argc, char **argv);

    /// Opens the start-up documents and runs the event loop.
    int run();

private:
    /// One line per problem on standard output; 1 when any is an error.
    static int checkBundles(const QStringList &paths);
};
