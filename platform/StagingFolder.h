// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileManager.h"
#include "platform/Outcome.h"

#include <QString>

/// A hidden folder in which a copy or an unpack is made out of sight,
/// removed with all it holds when this goes, whatever its names (Qt's own
/// temporary folder cannot remove a name that is not UTF-8).
class StagingFolder
{
public:
    StagingFolder(const QString &folder, FileManager::Leftover kind);
    ~StagingFolder();
    StagingFolder(const StagingFolder &) = delete;
    StagingFolder &operator=(const StagingFolder &) = delete;

    /// Done, or why the folder could not be made.
    Outcome made() const { return m_made; }
    QString path() const { return m_path; }

private:
    QString m_path;
    Outcome m_made;
};
