// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/AsciiSearch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <tuple>

namespace {

// Setting this bit turns an ASCII capital into its small letter. It joins
// some other pairs too (such as '@' and '`'), which only adds candidates
// that the comparison of the whole needle then turns down.
constexpr char CaseBit = 0x20;

// The compiler's portable vectors: one instruction per operation on 32
// bytes where the processor has such, two or four elsewhere.
constexpr qsizetype Places = 32;
using Block = char __attribute__((vector_size(Places)));

bool anySet(const Block &hits)
{
    std::uint64_t words[Places / 8];
    std::memcpy(words, &hits, sizeof words);
    return (words[0] | words[1] | words[2] | words[3]) != 0;
}

bool matchesAt(const char *at, QByteArrayView needle)
{
    for (qsizetype i = 0; i < needle.size(); ++i) {
        const char letter = char(at[i] | CaseBit);
        if (at[i] != needle[i] && (letter != char(needle[i] | CaseBit) || letter < 'a' || letter > 'z'))
            return false;
    }
    return true;
}

// How common a byte is in scripts and prose: letters by their frequency in
// English, then space as the most common of all; the rest count as rare.
int commonness(char byte)
{
    static constexpr std::string_view ByRarity = "zqjxkvbwygfpmucdlhrsnioate ";
    const auto rank = ByRarity.find(char(byte | CaseBit));
    return byte == '@' || byte == '`' || rank == std::string_view::npos ? -1 : int(rank);
}

} // namespace

AsciiSearch::AsciiSearch(QByteArrayView needle)
    : m_needle(needle)
{
    qsizetype rarest = 0;
    for (qsizetype i = 1; i < needle.size(); ++i) {
        if (commonness(needle[i]) < commonness(needle[rarest]))
            rarest = i;
    }
    qsizetype other = rarest == 0 ? std::max<qsizetype>(needle.size() - 1, 0) : 0;
    for (qsizetype i = 0; i < needle.size(); ++i) {
        if (i != rarest && commonness(needle[i]) < commonness(needle[other]))
            other = i;
    }
    std::tie(m_one, m_two) = std::minmax(rarest, other);
}

// A place is a candidate when the needle's two least common bytes both
// match there, case aside: 32 places are weighed at once, and two rare
// bytes seldom both match by chance. Built twice, for processors with AVX2
// and for the rest, chosen as the program loads.
__attribute__((target_clones("avx2", "default"))) qsizetype AsciiSearch::indexIn(QByteArrayView text,
                                                                                 qsizetype from) const
{
    const QByteArrayView needle = m_needle;
    const qsizetype one = m_one, two = m_two;
    const qsizetype length = needle.size();
    if (length == 0)
        return from <= text.size() ? from : -1;
    const qsizetype lastStart = text.size() - length;
    const char *bytes = text.data();
    const char first = char(needle[one] | CaseBit), last = char(needle[two] | CaseBit);
    qsizetype at = from;
    for (; at + Places - 1 <= lastStart; at += Places) {
        Block starts, ends;
        std::memcpy(&starts, bytes + at + one, sizeof starts);
        std::memcpy(&ends, bytes + at + two, sizeof ends);
        // Each place is a byte of the hits: all ones for a candidate.
        const Block hits = ((starts | CaseBit) == first) & ((ends | CaseBit) == last);
        if (!anySet(hits))
            continue;
        std::uint64_t words[Places / 8];
        std::memcpy(words, &hits, sizeof words);
        for (qsizetype word = 0; word < Places / 8; ++word) {
            for (std::uint64_t left = words[word]; left;) {
                const int lane = __builtin_ctzll(left) / 8;
                left &= ~(std::uint64_t(0xFF) << (lane * 8));
                if (matchesAt(bytes + at + word * 8 + lane, needle))
                    return at + word * 8 + lane;
            }
        }
    }
    for (; at <= lastStart; ++at) {
        if (char(bytes[at + one] | CaseBit) == first && char(bytes[at + two] | CaseBit) == last
            && matchesAt(bytes + at, needle))
            return at;
    }
    return -1;
}

__attribute__((target_clones("avx2", "default"))) qsizetype AsciiSearch::indexBeyondAscii(QByteArrayView text)
{
    qsizetype at = 0;
    for (; at + Places <= text.size(); at += Places) {
        Block block;
        std::memcpy(&block, text.data() + at, sizeof block);
        if (anySet(block < 0))
            break;
    }
    for (; at < text.size(); ++at) {
        if (text[at] < 0)
            return at;
    }
    return -1;
}
