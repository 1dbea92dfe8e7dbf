// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

/// While it lives, flushing (fdatasync) or closing a file whose path holds
/// `marker` fails with EIO, as on a disk that fails only when the data is
/// due (network and full thin-provisioned disks do). The close still closes.
/// A test that uses it links tests/common/FailingFlush.cpp, whose fdatasync
/// and close stand in for the C library's throughout the program.
class FailingFlush
{
public:
    enum Step { Flush, Close };
    FailingFlush(Step step, const char *marker);
    ~FailingFlush();
    FailingFlush(const FailingFlush &) = delete;
    FailingFlush &operator=(const FailingFlush &) = delete;
};
