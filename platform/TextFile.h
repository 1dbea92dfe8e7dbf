// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileManager.h"

#include <QString>

#include <optional>

/// Text files read and written whole. A file with a byte-order mark is
/// Unicode as marked, a valid UTF-8 file is UTF-8, any other is ISO 8859-1,
/// one character per byte. Writing keeps the encoding the text was read in,
/// so an untouched file goes back byte for byte; a character that ISO 8859-1
/// cannot hold makes the file UTF-8.
class TextFile
{
public:
    enum class Encoding { Latin1, Utf8, Utf8WithBom, Utf16LE, Utf16BE };

    struct Text
    {
        QString text;
        Encoding encoding = Encoding::Utf8;
    };

    /// Reads a file; nothing when it cannot be read (missing, a folder).
    static std::optional<Text> read(const QString &path);
    static bool write(const QString &path, const Text &text,
                      FileManager::WriteMode mode = FileManager::WriteMode::Atomic);

    /// The encoding `encode` writes the text in: its own, unless ISO 8859-1
    /// cannot hold it, then UTF-8.
    static Encoding encodingFor(const Text &text);

    static Text decode(const QByteArray &bytes);
    static QByteArray encode(const Text &text);
};
