// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/LongLineBreaks.h"

#include <cstring>

namespace {

// A line this long takes Scintilla some milliseconds to lay out.
constexpr qsizetype LongestWholeLine = 10000;
// Pieces end at the first fitting character past the shorter length, and
// anywhere at the longer one.
constexpr qsizetype ShortestPiece = 1000;
constexpr qsizetype LongestPiece = 2000;

bool endsAStatementOrItem(char c)
{
    return c == ';' || c == ',' || c == '{' || c == '}' || c == ' ' || c == '>';
}

bool continuesACharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

bool LongLineBreaks::needed(QByteArrayView utf8)
{
    const char *at = utf8.data();
    const char *end = at + utf8.size();
    if (std::memchr(at, '\r', size_t(utf8.size())))
        return false;
    while (at < end) {
        const auto *lineEnd = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
        if ((lineEnd ? lineEnd : end) - at > LongestWholeLine)
            return true;
        if (!lineEnd)
            break;
        at = lineEnd + 1;
    }
    return false;
}

QByteArray LongLineBreaks::broken(QByteArrayView utf8)
{
    QByteArray out(utf8.size() + utf8.size() / ShortestPiece + 1, Qt::Uninitialized);
    char *to = out.data();
    qsizetype run = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        *to++ = c;
        run = c == '\n' ? 0 : run + 1;
        if (run < ShortestPiece || i + 1 == utf8.size() || utf8[i + 1] == '\n')
            continue;
        if (endsAStatementOrItem(c) || (run >= LongestPiece && !continuesACharacter(utf8[i + 1]))) {
            *to++ = '\r';
            run = 0;
        }
    }
    out.truncate(to - out.data());
    return out;
}

QByteArray LongLineBreaks::whole(QByteArrayView utf8)
{
    QByteArray out(utf8.size(), Qt::Uninitialized);
    char *to = out.data();
    for (const char c : utf8) {
        if (c != '\r')
            *to++ = c;
    }
    out.truncate(to - out.data());
    return out;
}
