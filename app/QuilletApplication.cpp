// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/QuilletApplication.h"

#include "app/WidgetDocument.h"
#include "check/WidgetChecker.h"
#include "platform/DocumentController.h"
#include "platform/Images.h"
#include "platform/ZipArchive.h"

#include <QCommandLineParser>
#include <QIcon>
#include <QLoggingCategory>

#include <cstdio>

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
    DocumentController::shared().setDocumentFactory([] { return new WidgetDocument; });
}

int QuilletApplication::run()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Quillet edits Dashboard widgets: .wdgt bundles of HTML, CSS and JavaScript."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(tr("bundles"), tr("Widget bundles to open; a new widget when none is given."),
                                 tr("[bundle.wdgt...]"));
    const QCommandLineOption check(
        QStringLiteral("check"),
        tr("Check the bundles, print one line per problem and quit: 1 when any has an error."));
    parser.addOption(check);
    const QCommandLineOption exportZip(QStringLiteral("export-zip"),
                                       tr("Zip the widget <bundle> into the one file named, and quit."), tr("bundle"));
    parser.addOption(exportZip);
    // Answers --help and --version, and refuses an unknown option rather
    // than taking it for a bundle's name; either way the program ends here.
    parser.process(arguments());
    if (parser.isSet(exportZip)) {
        const QStringList zips = parser.positionalArguments();
        const Outcome exported = zips.size() == 1
            ? ZipArchive::exportBundle(parser.value(exportZip), zips.first())
            : Outcome::failure(parser.value(exportZip), tr("--export-zip takes the bundle and one zip file to write"));
        if (!exported)
            std::fputs(qUtf8Printable(tr("quillet: “%1”: %2\n").arg(exported.file(), exported.reason())), stderr);
        else if (!exported.skipped().isEmpty())
            std::fputs(qUtf8Printable(tr("quillet: left out: %1\n").arg(exported.skipped().join(QStringLiteral(", ")))),
                       stderr);
        return exported ? 0 : 1;
    }
    DocumentController &controller = DocumentController::shared();
    const QStringList paths = parser.positionalArguments();
    if (parser.isSet(check))
        return checkBundles(paths);
    for (const QString &path : paths)
        controller.openDocumentWithPath(path);
    if (paths.isEmpty())
        controller.newDocument();
    return exec();
}

int QuilletApplication::checkBundles(const QStringList &paths)
{
    if (paths.isEmpty()) {
        std::fputs(qPrintable(tr("--check needs the bundles to check.\n")), stderr);
        return 2;
    }
    // The lines printed are the check's: an image reader's own complaints
    // about a picture it reads anyway would only be taken for problems.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.warning=false"));
    bool failed = false;
    for (const QString &path : paths) {
        // The path as given, so that the lines lead back to what was typed.
        QString bundle = path;
        while (bundle.size() > 1 && bundle.endsWith(u'/'))
            bundle.chop(1);
        for (const Problem &problem : WidgetChecker::check(path)) {
            std::fputs(qPrintable(problem.toString(bundle) + u'\n'), stdout);
            failed = failed || problem.severity == Problem::Severity::Error;
        }
    }
    return failed ? 1 : 0;
}
