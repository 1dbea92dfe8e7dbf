// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <cstdint>

/// What tells one state of a file on disk from another without reading it:
/// which file the path leads to (a file replaced by renaming another over
/// it is a different file), its size and its modification time to the
/// nanosecond. A missing file has a stamp of its own.
class FileStamp
{
public:
    static FileStamp of(const QString &path);

    bool operator==(const FileStamp &other) const = default;

private:
    bool m_exists = false;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::int64_t m_size = 0;
    std::int64_t m_modifiedSeconds = 0;
    std::int64_t m_modifiedNanoseconds = 0;
};
