// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
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
    if (!decoder.hasError() && encode(text) == bytes)
        return text;
    return {QString::fromLatin1(bytes), Encoding::Latin1};
}

TextFile::Encoding TextFile::encodingFor(const Text &text)
{
    return text.encoding == Encoding::Latin1 && !fitsLatin1(text.text) ? Encoding::Utf8
                                                                       : text.encoding;
}

QByteArray TextFile::encode(const Text &text)
{
    const Encoding encoding = encodingFor(text);
    QStringEncoder encoder(converterFor(encoding),
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return bomFor(encoding) + QByteArray(encoder.encode(text.text));
}

std::optional<TextFile::Text> TextFile::read(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(file.readAll());
}

bool TextFile::write(const QString &path, const Text &text, FileManager::WriteMode mode)
{
    return FileManager::writeFile(path, encode(text), mode);
}
