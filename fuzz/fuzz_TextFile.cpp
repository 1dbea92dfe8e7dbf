// SPDX-License-Identifier: GPL-2.0-or-later
// Any bytes as a text file: untouched, they write back byte for byte; with a
// character typed in (any Unicode character), the file is written in an
// encoding that reads back as the edited text.
#include "fuzz/FuzzCheck.h"
#include "platform/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    TextFile::Text text = TextFile::decode(bytes);
    FUZZ_CHECK(TextFile::encode(text) == bytes, "an untouched text writes back byte for byte");
    if (size < 4)
        return 0;
    // The input's last four bytes choose the edit, so that it follows the
    // bytes the fuzzer varies: where, and a character from ISO 8859-1, the
    // basic plane or anywhere in Unicode (surrogates are no characters).
    const uint8_t *edit = data + size - 4;
    const char32_t wide = edit[1] | edit[2] << 8 | edit[3] << 16;
    char32_t typed = edit[3] % 3 == 0 ? wide & 0xFF : edit[3] % 3 == 1 ? wide & 0xFFFF : wide % 0x110000;
    if (typed >= 0xD800 && typed < 0xE000)
        typed = 0xFFFD;
    qsizetype at = text.text.size() * edit[0] / 255;
    if (at > 0 && at < text.text.size() && text.text[at].isLowSurrogate() && text.text[at - 1].isHighSurrogate())
        --at; // the cursor never stands inside a character
    text.text.insert(at, QStringView(QChar::fromUcs4(typed)));
    const TextFile::Text back = TextFile::decode(TextFile::encode(text));
    FUZZ_CHECK(back.text == text.text, "an edited text reads back as itself");
    return 0;
}
