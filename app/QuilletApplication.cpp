// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/QuilletApplication.h"

#include "app/CommandLine.h"

#include "app/WidgetDocument.h"
#include "check/WidgetChecker.h"
#include "platform/DocumentController.h"
#include "platform/Images.h"
#include "platform/ZipArchive.h"

#include <QIcon>

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

int QuilletApplication::run(CommandLine &commandLine)
{
    // Answers --help and --version, and refuses an unknown option rather
    // than taking it for a bundle's name; either way the program ends here.
    commandLine.process(arguments());
    const QStringList paths = commandLine.positionalArguments();
    if (commandLine.exportsZip())
        return exportZip(commandLine.exportedBundle(), paths);
    if (commandLine.checks())
        return checkBundles(paths);
    DocumentController &controller = DocumentController::shared();
    for (const QString &path : paths)
        controller.openDocumentWithPath(path);
    if (paths.isEmpty())
        controller.newDocument();
    return exec();
}

int QuilletApplication::exportZip(const QString &bundle, const QStringList &zips)
{
    const Outcome exported = zips.size() == 1
        ? ZipArchive::exportBundle(bundle, zips.first())
        : Outcome::failure(bundle, tr("--export-zip takes the bundle and one zip file to write"));
    if (!exported)
        std::fputs(qUtf8Printable(tr("quillet: “%1”: %2\n").arg(exported.file(), exported.reason())), stderr);
    else if (!exported.skipped().isEmpty())
        std::fputs(qUtf8Printable(tr("quillet: left out: %1\n").arg(exported.skipped().join(QStringLiteral(", ")))),
                   stderr);
    return exported ? 0 : 1;
}

int QuilletApplication::checkBundles(const QStringList &paths)
{
    if (paths.isEmpty()) {
        std::fputs(qPrintable(tr("--check needs the bundles to check.\n")), stderr);
        return 2;
    }
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
