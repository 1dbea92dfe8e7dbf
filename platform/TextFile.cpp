// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/TextFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr char Utf16LEBom[] = "\xFF\xFE";
constexpr char Utf16BEBom[] = "\xFE\xFF";
// Large enough that the calls per piece cost nothing next to the work on its
// bytes, small enough that a piece in its three forms stays in the cache.
constexpr qsizetype PieceBytes = 256 * 1024;

bool fitsLatin1(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

QStringConverter::Encoding converterFor(TextFile::Encoding encoding)
{
    switch (encoding) {
    case TextFile::Encoding::Latin1:
        return QStringConverter::Latin1;
    case TextFile::Encoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case TextFile::Encoding::Utf16BE:
        return QStringConverter::Utf16BE;
    case TextFile::Encoding::Utf8:
    case TextFile::Encoding::Utf8WithBom:
        break;
    }
    return QStringConverter::Utf8;
}

QByteArray bomFor(TextFile::Encoding encoding)
{
    switch (encoding) {
    case TextFile::Encoding::Utf8WithBom:
        return Utf8Bom;
    case TextFile::Encoding::Utf16LE:
        return Utf16LEBom;
    case TextFile::Encoding::Utf16BE:
        return Utf16BEBom;
    case TextFile::Encoding::Latin1:
    case TextFile::Encoding::Utf8:
        break;
    }
    return {};
}

QByteArray encodeAs(const QString &text, TextFile::Encoding encoding)
{
    QStringEncoder encoder(converterFor(encoding),
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return bomFor(encoding) + QByteArray(encoder.encode(text));
}

TextFile::Encoding markedEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith(Utf8Bom))
        return TextFile::Encoding::Utf8WithBom;
    if (bytes.startsWith(Utf16LEBom))
        return TextFile::Encoding::Utf16LE;
    if (bytes.startsWith(Utf16BEBom))
        return TextFile::Encoding::Utf16BE;
    return TextFile::Encoding::Utf8;
}

// A Unicode reading holds only when writing the text back gives the very
// same bytes; ISO 8859-1 always does, so no save can change an untouched
// file. The check goes along with the decoding, a piece at a time, so that
// the text is never held whole in a second form.
class RoundTrip
{
public:
    explicit RoundTrip(QStringConverter::Encoding encoding)
        : m_decoder(encoding, QStringConverter::Flag::ConvertInitialBom)
        , m_encoder(encoding, QStringConverter::Flag::ConvertInitialBom)
    { }

    /// The text that the next piece completes: a character cut at the end
    /// of a piece comes with the next one. Valid until the next call.
    QStringView decode(QByteArrayView piece)
    {
        m_text.resize(m_decoder.requiredSpace(piece.size()));
        const QStringView text(m_text.data(), m_decoder.appendToBuffer(m_text.data(), piece));
        m_again.resize(m_encoder.requiredSpace(text.size()));
        const QByteArrayView again(m_again.data(), m_encoder.appendToBuffer(m_again.data(), text));
        // Written back, the text goes on from the bytes held over from the
        // pieces before, then on into this one.
        const qsizetype fromHeld = std::min(again.size(), m_held.size());
        const qsizetype fromPiece = again.size() - fromHeld;
        m_holds = m_holds && !m_decoder.hasError() && fromPiece <= piece.size()
            && again.first(fromHeld) == QByteArrayView(m_held).first(fromHeld)
            && again.sliced(fromHeld) == piece.first(fromPiece);
        if (m_holds)
            m_held.remove(0, fromHeld).append(piece.sliced(fromPiece));
        return text;
    }
    bool holds() const { return m_holds; }
    /// Whether the whole text wrote back as its bytes, none left over.
    bool held() const { return m_holds && m_held.isEmpty(); }

private:
    QStringDecoder m_decoder;
    QStringEncoder m_encoder;
    QString m_text;
    QByteArray m_again;
    QByteArray m_held;
    bool m_holds = true;
};

// Hands `take` the file's bytes in pieces of PieceBytes, a shorter one last,
// for as long as it wants more; a file longer than a read takes in is
// refused once that much was handed over.
Outcome eachPiece(int fd, const QString &path, const std::function<bool(QByteArrayView)> &take)
{
    QByteArray buffer(PieceBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (qsizetype got = PieceBytes; got == PieceBytes; total += got) {
        if (total >= FileManager::ReadLimit)
            return FileManager::tooLarge(path, FileManager::ReadLimit);
        got = 0;
        for (ssize_t count = -1; count != 0 && got < buffer.size();) {
            count = ::read(fd, buffer.data() + got, size_t(buffer.size() - got));
            if (count < 0 && errno != EINTR)
                return Outcome::systemError(path, errno);
            got += std::max<ssize_t>(count, 0);
        }
        if (got > 0 && !take(QByteArrayView(buffer).first(got)))
            break;
    }
    return {};
}

} // namespace

TextFile::Text TextFile::decode(const QByteArray &bytes)
{
    const Encoding marked = markedEncoding(bytes);
    const QByteArrayView body = QByteArrayView(bytes).sliced(bomFor(marked).size());
    RoundTrip trip(converterFor(marked));
    QString text;
    text.reserve(marked == Encoding::Utf16LE || marked == Encoding::Utf16BE ? body.size() / 2 : body.size());
    for (qsizetype at = 0; at < body.size() && trip.holds(); at += PieceBytes)
        text.append(trip.decode(body.sliced(at, std::min(PieceBytes, body.size() - at))));
    if (trip.held())
        return {text, marked};
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

Outcome TextFile::read(const QString &path, Text *text, qint64 limit)
{
    QByteArray bytes;
    const Outcome outcome = FileManager::readFile(path, &bytes, limit);
    if (outcome)
        *text = decode(bytes);
    return outcome;
}

Outcome TextFile::readUtf8(const QString &path, const Utf8Sink &sink, Encoding *encoding)
{
    int fd = -1;
    if (const Outcome opened = FileManager::openForReading(path, &fd); !opened)
        return opened;
    Encoding marked = Encoding::Utf8;
    std::optional<RoundTrip> trip;
    QStringEncoder toUtf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    Outcome outcome = eachPiece(fd, path, [&](QByteArrayView piece) {
        if (!trip) {
            marked = markedEncoding(piece);
            piece = piece.sliced(bomFor(marked).size());
            trip.emplace(converterFor(marked));
        }
        const QStringView text = trip->decode(piece);
        if (!trip->holds())
            return false;
        if (marked == Encoding::Utf8 || marked == Encoding::Utf8WithBom)
            sink(piece, false);
        else
            sink(QByteArray(toUtf8.encode(text)), false);
        return true;
    });
    if (outcome && trip && !trip->held()) {
        sink({}, true);
        marked = Encoding::Latin1;
        outcome = ::lseek(fd, 0, SEEK_SET) != 0 ? Outcome::systemError(path, errno)
                                                : eachPiece(fd, path, [&sink](QByteArrayView piece) {
                                                      sink(QString::fromLatin1(piece).toUtf8(), false);
                                                      return true;
                                                  });
    }
    ::close(fd);
    if (outcome)
        *encoding = marked;
    return outcome;
}

Outcome TextFile::write(const QString &path, const Text &text)
{
    return FileManager::writeFile(path, encode(text));
}
