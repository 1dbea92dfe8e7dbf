// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/WidgetInstaller.h"

#include "platform/Alert.h"
#include "platform/FileManager.h"
#include "platform/ProgressPanel.h"
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QDir>
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

QString widgetFolder()
{
    return QDir::homePath() + QStringLiteral("/Library/Widgets");
}

} // namespace

void installAndRun(QWidget *window, const QString &bundlePath)
{
    const QString folder = widgetFolder();
    const QString installed = folder + u'/' + QFileInfo(bundlePath).fileName();
    // A bundle already in the widget folder, however its path is spelled, runs in place.
    if (QFileInfo(bundlePath).absolutePath() == folder || FileManager::isSameFile(installed, bundlePath)) {
        runInstalled(window, bundlePath);
        return;
    }
    if (!askToInstall(window))
        return;
    QDir().mkpath(folder);
    Outcome copied;
    {
        ProgressPanel progress(window, tr("Installing the widget…"));
        copied = FileManager::copyItemReplacing(bundlePath, installed, [&progress] { progress.step(); });
    }
    // The widget installed there before, if any, is unchanged by a failed copy.
    Alert::report(window, tr("The widget could not be installed."), copied);
    if (copied)
        runInstalled(window, installed);
}

} // namespace WidgetInstaller
