// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QTimer>

/// Tells when the listing of one folder changes on disk, once per burst of
/// changes: a copy or a save touches a folder many times in a row.
class FolderWatcher : public QObject
{
    Q_OBJECT

public:
    explicit FolderWatcher(QObject *parent = nullptr);

    /// Watches `folder` from now on, and nothing else; "" watches nothing.
    void watch(const QString &folder);

signals:
    void changed();

private:
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};
