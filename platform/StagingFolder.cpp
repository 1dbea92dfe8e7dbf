// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/StagingFolder.h"

#include "platform/FileName.h"

#include <cerrno>
#include <cstdlib>

StagingFolder::StagingFolder(const QString &folder, FileManager::Leftover kind)
{
    QByteArray pattern = FileName::encode(FileManager::leftoverPattern(folder, kind));
    if (::mkdtemp(pattern.data()))
        m_path = FileName::decode(pattern);
    else
        m_made = Outcome::systemError(folder, errno);
}

StagingFolder::~StagingFolder()
{
    // What is left is this program's own; gone already when it was used.
    if (!m_path.isEmpty() && FileManager::isOccupied(m_path))
        (void)FileManager::removeItem(m_path);
}
