// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/QuilletApplication.h"

#include "app/MyDocument.h"
#include "platform/DocumentController.h"
#include "platform/Images.h"

#include <QCommandLineParser>
#include <QIcon>

QuilletApplication::QuilletApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillet"));
    setApplicationDisplayName(QStringLiteral("Quillet"));
    setOrganizationName(QStringLiteral("Quillet"));
    setApplicationVersion(QStringLiteral(QT_STRINGIFY(QUILLET_VERSION)));
    setDesktopFileName(QStringLiteral("quillet"));
    setWindowIcon(Images::named(QStringLiteral("quillet")));
    Images::chooseIconTheme();
    // Documents, not windows, keep the program alive: see DocumentController.
    setQuitOnLastWindowClosed(false);
    DocumentController::shared().setDocumentFactory([] { return new MyDocument; });
}

int QuilletApplication::run()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Quillet edits Dashboard widgets: .wdgt bundles of HTML, CSS and JavaScript."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(tr("bundles"), tr("Widget bundles to open; a new widget when none is given."),
                                 tr("[bundle.wdgt...]"));
    // Answers --help and --version, and refuses an unknown option rather
    // than taking it for a bundle's name; either way the program ends here.
    parser.process(arguments());
    DocumentController &controller = DocumentController::shared();
    const QStringList paths = parser.positionalArguments();
    for (const QString &path : paths)
        controller.openDocumentWithPath(path);
    if (paths.isEmpty())
        controller.newDocument();
    return exec();
}
