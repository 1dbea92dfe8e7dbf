// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/QuilletApplication.h"

#include "app/MyDocument.h"
#include "platform/DocumentController.h"
#include "platform/Images.h"

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
    DocumentController &controller = DocumentController::shared();
    const QStringList paths = arguments().mid(1);
    for (const QString &path : paths)
        controller.openDocumentWithPath(path);
    if (paths.isEmpty())
        controller.newDocument();
    return exec();
}
