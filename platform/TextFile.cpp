// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/TextFile.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr char Utf16LEBom[] = "\xFF\xFE";
constexpr char Utf16BEBom[] = "\xFE\xFF";

bool fitsLatin1(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

QStringConverter::Encoding converterFor(TextFile::Encoding encoding)
{
    switch (encoding) {
    case TextFile::Encoding::Latin1: return QStringConverter::Latin1;
    case TextFile::Encoding::Utf16LE: return QStringConverter::Utf16LE;
    case TextFile::Encoding::Utf16BE: return QStringConverter::Utf16BE;
    case TextFile::Encoding::Utf8:
    case TextFile::Encoding::Utf8WithBom: break;
    }
    return QStringConverter::Utf8;
}

QByteArray bomFor(TextFile::Encoding encoding)
{
    switch (encoding) {
    case TextFile::Encoding::Utf8WithBom: return Utf8Bom;
    case TextFile::Encoding::Utf16LE: return Utf16LEBom;
    case TextFile::Encoding::Utf16BE: return Utf16BEBom;
    case TextFile::Encoding::Latin1:
    case TextFile::Encoding::Utf8: break;
    }
    return {};
}

QByteArray encodeAs(const QString &text, TextFile::Encoding encoding)
{
    QStringEncoder encoder(converterFor(encoding),
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return bomFor(encoding) + QByteArray(encoder.encode(text));
}

} // namespace

TextFile::Text TextFile::decode(const QByteArray &bytes)
{
    Encoding marked = Encoding::Utf8;
    if (bytes.startsWith(Utf8Bom))
        marked = Encoding::Utf8WithBom;
    else if (bytes.startsWith(Utf16LEBom))
        marked = Encoding::Utf16LE;
    else if (bytes.startsWith(Utf16BEBom))
        marked = Encoding::Utf16BE;
    QStringDecoder decoder(converterFor(marked),
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const Text text{decoder.decode(bytes.mid(bomFor(marked).size())), marked};
    // The Unicode reading holds only when writing the text back gives the very
    // same bytes; ISO 8859-1 always does, so no save can change an untouched file.
    if (!decoder.hasError() && encodeAs(text.text, marked) == bytes)
        return text;
    return {QString::fromLatin1(bytes), Encoding::Latin1};
}

// ISO 8859-1 is the reading of last resort: its bytes come back as
// something else when they form valid UTF-8 or start with a mark ("Â©" is
// the UTF-8 of "©"). Only then is the file's encoding given up.
TextFile::Encoding TextFile::encodingFor(const Text &text)
{
    Encoding encoding = text.encoding;
    if (encoding == Encoding::Latin1 && fitsLatin1(text.text)) {
        const Text reread = decode(encodeAs(text.text, Encoding::Latin1));
        if (reread.encoding == Encoding::Latin1 || reread.text == text.text)
            return Encoding::Latin1;
    }
    if (encoding == Encoding::Latin1)
        encoding = Encoding::Utf8;
    // A text that starts with U+FEFF would read back from plain UTF-8 with
    // that character taken for a byte-order mark and dropped; behind a mark
    // of its own it stays.
    if (encoding == Encoding::Utf8 && text.text.startsWith(QChar(0xFEFF)))
        return Encoding::Utf8WithBom;
    return encoding;
}

QByteArray TextFile::encode(const Text &text)
{
    return encodeAs(text.text, encodingFor(text));
}

Outcome TextFile::read(const QString &path, Text *text)
{
    QByteArray bytes;
    const Outcome outcome = FileManager::readFile(path, &bytes);
    if (outcome)
        *text = decode(bytes);
    return outcome;
}

Outcome TextFile::write(const QString &path, const Text &text)
{
    return FileManager::writeFile(path, encode(text));
}
