// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/PreviewLoader.h"

#include "preview/WidgetPreviewPlugin.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPluginLoader>

namespace {

const QString PluginFileName = QStringLiteral("quillet-preview.so");

QString pluginPath()
{
    for (const QString &folder : PreviewLoader::pluginFolders()) {
        const QString path = folder + u'/' + PluginFileName;
        if (QFileInfo::exists(path))
            return path;
    }
    return PluginFileName;
}

QtMessageHandler passOn = nullptr;

// Loaded after the application object exists, the web engine advises
// setting an attribute before it; the plugin runs the engine's start-up
// step, which does what the attribute would. The advice is no news to users.
void leaveOutStartUpAdvice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.contains(QLatin1String("AA_ShareOpenGLContexts")))
        passOn(type, context, message);
}

} // namespace

QStringList PreviewLoader::pluginFolders()
{
    const QString here = QCoreApplication::applicationDirPath();
    QStringList folders{here, here + QStringLiteral("/" QUILLET_PLUGIN_RELATIVE_DIR)};
    const QString chosen = qEnvironmentVariable("QUILLET_PLUGIN_DIR");
    if (!chosen.isEmpty())
        folders.prepend(chosen);
    return folders;
}

std::unique_ptr<WidgetPreview> PreviewLoader::makePreview(Outcome *outcome)
{
    // Loaded once and never unloaded: previews made from it may live as
    // long as the editor.
    static const QString path = pluginPath();
    static QPluginLoader loader(path);
    passOn = qInstallMessageHandler(leaveOutStartUpAdvice);
    auto *plugin = qobject_cast<WidgetPreviewPlugin *>(loader.instance());
    std::unique_ptr<WidgetPreview> preview = plugin ? plugin->makePreview() : nullptr;
    qInstallMessageHandler(passOn);
    if (!plugin)
        *outcome = Outcome::failure(path, loader.errorString());
    return preview;
}
