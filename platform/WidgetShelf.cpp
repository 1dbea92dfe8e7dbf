// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/WidgetShelf.h"

#include "platform/FileManager.h"
#include "platform/ZipArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace WidgetShelf {

QString folder()
{
    return QDir::homePath() + QStringLiteral("/Library/Widgets");
}

QStringList installed()
{
    QStringList bundles;
    const QFileInfoList entries = QDir(folder()).entryInfoList(
        {QStringLiteral("*.wdgt")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries)
        bundles.append(entry.canonicalFilePath());
    return bundles;
}

Outcome install(const QString &source, const std::function<bool(const QString &name)> &replace, QString *installed,
                const std::function<void()> &progress)
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
    const QString shelf = folder();
    const QString name = QFileInfo(bundle).fileName();
    const QString destination = shelf + u'/' + name;
    if (FileManager::exists(destination) && !replace(name))
        return {};
    if (!FileManager::isDirectory(shelf)) {
        QDir().mkpath(QFileInfo(shelf).path());
        if (const Outcome made = FileManager::createDirectory(shelf); !made)
            return made;
    }
    const Outcome copied = FileManager::copyItemReplacing(bundle, destination, progress);
    if (copied)
        *installed = destination;
    return copied;
}

Outcome remove(const QString &bundle)
{
    return FileManager::removeItem(bundle);
}

} // namespace WidgetShelf
