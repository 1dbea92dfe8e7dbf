// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A property that fails aborts with its reason, so that libFuzzer keeps the
// input as a crash and the test driver fails on it, either way saying which.
#define FUZZ_CHECK(condition, property)                                                                                \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "Property violated: %s\n  (%s, %s:%d)\n", property, #condition, __FILE__, __LINE__);  \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
