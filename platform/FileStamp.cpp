// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileStamp.h"

#include "platform/FileName.h"


#include <sys/stat.h>

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    struct stat status
    { };
    if (path.isEmpty() || ::stat(FileName::encode(path).constData(), &status) != 0)
        return stamp;
    stamp.m_exists = true;
    stamp.m_device = status.st_dev;
    stamp.m_inode = status.st_ino;
    stamp.m_size = status.st_size;
    stamp.m_modifiedSeconds = status.st_mtim.tv_sec;
    stamp.m_modifiedNanoseconds = status.st_mtim.tv_nsec;
    return stamp;
}
