// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/WidgetInstaller.h"

#include "platform/Alert.h"
#include "platform/FileManager.h"
#include "platform/ProgressPanel.h"
#include "platform/WidgetShelf.h"
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace WidgetInstaller {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("WidgetInstaller", text);
}

void runInstalled(QWidget *window, const QString &bundle)
{
    Alert::report(window, tr("The widget could not be started."),
                  Workspace::openFile(bundle, Workspace::WidgetHostApplication));
}

bool askToInstall(QWidget *window)
{
    const Alert::Request question{
        tr("Install"),
        tr("In order to run this widget a copy needs to be installed to your widgets folder.  "
           "This will replace any widget in your widget folder with the same name."),
        tr("Install"),
        tr("Cancel"),
        {}};
    return Alert::run(window, question) == Alert::DefaultButton;
}

} // namespace

void installAndRun(QWidget *window, const QString &bundlePath)
{
    const QString folder = WidgetShelf::folder();
    // A bundle already in the widget folder, however its path is spelled, runs in place.
    if (QFileInfo(bundlePath).absolutePath() == folder
        || FileManager::isSameFile(folder + u'/' + QFileInfo(bundlePath).fileName(), bundlePath)) {
        runInstalled(window, bundlePath);
        return;
    }
    // The question says that one of the same name is replaced.
    if (!askToInstall(window))
        return;
    QString installed;
    Outcome copied;
    {
        ProgressPanel progress(window, tr("Installing the widget…"));
        copied = WidgetShelf::install(
            bundlePath, [](const QString &) { return true; }, &installed, [&progress] { progress.step(); });
    }
    // The widget installed there before, if any, is unchanged by a failed copy.
    Alert::report(window, tr("The widget could not be installed."), copied);
    if (!installed.isEmpty())
        runInstalled(window, installed);
}

} // namespace WidgetInstaller
