// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileName.h"

#include <algorithm>

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool isEscape(char16_t unit)
{
    return unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF;
}

// The second half of a character past U+FFFF may look like an escape.
bool isEscapeAt(QStringView path, qsizetype i)
{
    return isEscape(path[i].unicode()) && (i == 0 || !path[i - 1].isHighSurrogate());
}

// The length of the well-formed UTF-8 character at the start of `bytes`
// (no overlong form, no surrogate, nothing past U+10FFFF), 0 when none is.
qsizetype characterLength(QByteArrayView bytes)
{
    const auto byte = [&bytes](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0; };
    const auto follows = [&byte](qsizetype i, uchar low = 0x80, uchar high = 0xBF) {
        return byte(i) >= low && byte(i) <= high;
    };
    const uchar lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return follows(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const bool second = lead == 0xE0 ? follows(1, 0xA0) : lead == 0xED ? follows(1, 0x80, 0x9F) : follows(1);
        return second && follows(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const bool second = lead == 0xF0 ? follows(1, 0x90) : lead == 0xF4 ? follows(1, 0x80, 0x8F) : follows(1);
        return second && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QByteArray FileName::encode(QStringView path)
{
    if (std::none_of(path.begin(), path.end(), [](QChar c) { return isEscape(c.unicode()); }))
        return path.toUtf8();
    QByteArray bytes;
    bytes.reserve(path.size() * 3);
    qsizetype from = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isEscapeAt(path, i))
            continue;
        bytes += path.sliced(from, i - from).toUtf8();
        if (i < path.size())
            bytes += char(path[i].unicode() - EscapeBase);
        from = i + 1;
    }
    return bytes;
}

QString FileName::decode(QByteArrayView bytes)
{
    QString path;
    qsizetype from = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = characterLength(bytes.sliced(i));
        if (length > 0) {
            i += length;
            continue;
        }
        path += QString::fromUtf8(bytes.sliced(from, i - from));
        path += QChar(EscapeBase + uchar(bytes[i]));
        from = ++i;
    }
    // Names are nearly always UTF-8 throughout: one conversion, no copying.
    return from == 0 ? QString::fromUtf8(bytes) : path + QString::fromUtf8(bytes.sliced(from));
}

QString FileName::shown(const QString &path)
{
    QString text = path;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscapeAt(path, i))
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}
