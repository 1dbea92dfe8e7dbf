// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/FolderWatcher.h"

#include "platform/FileManager.h"

namespace {
constexpr int SettleMilliseconds = 100;
} // namespace

FolderWatcher::FolderWatcher(QObject *parent)
    : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &FolderWatcher::changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
}

void FolderWatcher::watch(const QString &folder)
{
    const QStringList watched = m_watcher.directories();
    if (watched == QStringList{folder})
        return;
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    if (FileManager::isDirectory(folder))
        m_watcher.addPath(folder);
}
