// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/common/FailingFlush.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

int failingStep = -1;
const char *failingMarker = nullptr;

bool fails(int fd, FailingFlush::Step step)
{
    if (failingStep != step)
        return false;
    char link[32];
    char path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, path, sizeof path - 1);
    if (length < 0)
        return false;
    path[length] = '\0';
    return std::strstr(path, failingMarker) != nullptr;
}

} // namespace

FailingFlush::FailingFlush(Step step, const char *marker)
{
    failingStep = step;
    failingMarker = marker;
}

FailingFlush::~FailingFlush()
{
    failingStep = -1;
}

extern "C" int fdatasync(int fd)
{
    if (fails(fd, FailingFlush::Flush)) {
        errno = EIO;
        return -1;
    }
    return int(::syscall(SYS_fdatasync, fd));
}

extern "C" int close(int fd)
{
    const bool failing = fails(fd, FailingFlush::Close);
    const int closed = int(::syscall(SYS_close, fd));
    if (failing && closed == 0) {
        errno = EIO;
        return -1;
    }
    return closed;
}
