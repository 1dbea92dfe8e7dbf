// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileManager.h"

#include <QByteArrayView>
#include <QString>

#include <functional>


/// Text files read and written whole. A file with a byte-order mark is
/// Unicode as marked, a valid UTF-8 file is UTF-8, any other is ISO 8859-1,
/// one character per byte. Writing keeps the encoding the text was read in,
/// so an untouched file goes back byte for byte; text that would not read
/// back as itself in that encoding (a character ISO 8859-1 cannot hold, or
/// ISO 8859-1 bytes that happen to be valid UTF-8) makes the file UTF-8, with
/// a byte-order mark when the text itself starts with U+FEFF.
class TextFile
{
public:
    enum class Encoding { Latin1, Utf8, Utf8WithBom, Utf16LE, Utf16BE };

    struct Text
    {
        QString text;
        Encoding encoding = Encoding::Utf8;
    };

    /// Reads a regular file into `text`; a missing file, a folder, a FIFO or
    /// a file longer than `limit` fails, leaving `text` as it was.
    static Outcome read(const QString &path, Text *text, qint64 limit = FileManager::ReadLimit);
    static Outcome write(const QString &path, const Text &text);

    /// Takes a text in pieces of UTF-8, in order. Called once with
    /// `startsOver` set and no text when every piece handed before is void:
    /// the file is then read again from its start as ISO 8859-1.
    using Utf8Sink = std::function<void(QByteArrayView utf8, bool startsOver)>;
    /// Reads a regular file as `read` does, handing its text to `sink` as
    /// it goes rather than returning it whole, so that a reader keeping its
    /// text as UTF-8 is the only one to hold the file whole. A UTF-8 file's
    /// own bytes are handed on, less a byte-order mark. `encoding` is set
    /// when the whole file was read; after a failure the pieces are void.
    static Outcome readUtf8(const QString &path, const Utf8Sink &sink, Encoding *encoding);

    /// The encoding `encode` writes the text in: its own when the bytes read
    /// back as the same text, UTF-8 otherwise (marked when the text starts
    /// with U+FEFF).
    static Encoding encodingFor(const Text &text);

    static Text decode(const QByteArray &bytes);
    static QByteArray encode(const Text &text);
};
