// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <sys/resource.h>

/// While it lives, writes past this many bytes fail as on a full disk, for
/// root too (the test ignores SIGXFSZ, so a write fails with EFBIG instead).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
};
