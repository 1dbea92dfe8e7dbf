// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetShelf.h"

#include "host/HostApplication.h"
#include "platform/FileManager.h"
#include "platform/ZipArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace WidgetShelf {

Outcome install(const QString &source, const std::function<bool(const QString &name)> &replace, QString *installed)
{
    // A zip is unpacked apart first: what lands in the widget folder is
    // only ever a whole bundle.
    QTemporaryDir unpacked;
    QString bundle = source;
    if (ZipArchive::isArchive(source)) {
        const QString copy = unpacked.filePath(QFileInfo(source).fileName());
        Outcome copied = FileManager::copyItem(source, copy);
        if (copied)
            copied = ZipArchive::extractWidget(copy, &bundle);
        if (!copied)
            return copied;
    }
    const QString folder = HostApplication::widgetFolder();
    const QString name = QFileInfo(bundle).fileName();
    const QString destination = folder + u'/' + name;
    if (FileManager::exists(destination) && !replace(name))
        return {};
    if (!FileManager::isDirectory(folder)) {
        QDir().mkpath(QFileInfo(folder).path());
        if (const Outcome made = FileManager::createDirectory(folder); !made)
            return made;
    }
    const Outcome copied = FileManager::copyItemReplacing(bundle, destination);
    if (copied)
        *installed = destination;
    return copied;
}

Outcome remove(const QString &bundle)
{
    return FileManager::removeItem(bundle);
}

} // namespace WidgetShelf
