// GB18030 <-> UTF-16 by table lookup.
//
// Decoding: runs of ASCII are widened 16 bytes at a time; a two-byte code is
// one lookup in kTwoByteDecode; four-byte codes, the few supplementary
// characters with two-byte codes and errors take the slow path.
// Encoding: runs of ASCII are narrowed 16 units at a time; every other BMP
// unit is one lookup in kEncode, whose entry holds the bytes and tells their
// number; supplementary characters are computed.
//
// The generated tables (gb18030_tables.h) make the mapping one-to-one, so
// decode(encode(text)) == text for every text without lone surrogates and
// encode(decode(bytes)) == bytes for every valid byte sequence.
#include "text/gb18030.h"

#include "text/utf8_lead.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "text/gb18030_tables.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lcr {

namespace {

using gb18030::kEncode;
using gb18030::kFourByteBmpCount;
using gb18030::kFourByteBmpDecode;
using gb18030::kSupplementaryBase;
using gb18030::kSupplementaryTwoByte;
using gb18030::kSupplementaryTwoByteCount;
using gb18030::kTwoByteDecode;
using gb18030::SupplementaryTwoByte;

constexpr char16_t kReplacement = 0xFFFD;

bool isDigit(unsigned b) {
    return b - 0x30 < 10;
}

// 0x81..0xFE, the first byte of a multi-byte code and the third of a
// four-byte code.
bool isLeadByte(unsigned b) {
    return b - 0x81 < 0x7E;
}

char16_t* putScalar(char16_t* dst, char32_t cp) {
    if (cp < 0x10000) {
        *dst++ = static_cast<char16_t>(cp);
    } else {
        *dst++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        *dst++ = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
    return dst;
}

const SupplementaryTwoByte* findByTwoByteCode(unsigned code) {
    const SupplementaryTwoByte* end = kSupplementaryTwoByte + kSupplementaryTwoByteCount;
    const SupplementaryTwoByte* it = std::find_if(
        kSupplementaryTwoByte, end, [code](const auto& e) { return e.twoByteCode == code; });
    return it == end ? nullptr : it;
}

const SupplementaryTwoByte* findByCodePoint(char32_t cp) {
    const SupplementaryTwoByte* end = kSupplementaryTwoByte + kSupplementaryTwoByteCount;
    const SupplementaryTwoByte* it =
        std::find_if(kSupplementaryTwoByte, end, [cp](const auto& e) { return e.codePoint == cp; });
    return it == end ? nullptr : it;
}

// The character of the four-byte code with linear index `linear`, or 0 when
// the code is unassigned. The result is never U+0000, which no multi-byte
// code stands for.
char32_t fourByteChar(std::uint32_t linear) {
    if (linear < kFourByteBmpCount) {
        return kFourByteBmpDecode[linear];
    }
    if (linear - kSupplementaryBase >= 0x100000) {
        return 0;
    }
    char32_t cp = 0x10000 + (linear - kSupplementaryBase);
    if (const SupplementaryTwoByte* e = findByCodePoint(cp)) {
        return e->fourByteChar;
    }
    return cp;
}

// Decodes the non-ASCII sequence at p (avail > 0 bytes left) that the fast
// path did not take. Writes one or two code units and returns the number of
// bytes used.
std::size_t decodeSlow(const unsigned char* p, std::size_t avail, char16_t*& dst) {
    unsigned b0 = p[0];
    if (!isLeadByte(b0)) {
        *dst++ = kReplacement;
        return 1;
    }
    if (avail < 2) {
        *dst++ = kReplacement;  // truncated at the end
        return 1;
    }
    unsigned b1 = p[1];
    if (isDigit(b1)) {
        if (avail < 3 || (avail < 4 && isLeadByte(p[2]))) {
            *dst++ = kReplacement;  // truncated at the end
            return avail;
        }
        if (isLeadByte(p[2]) && isDigit(p[3])) {
            std::uint32_t linear =
                (b0 - 0x81) * 12600 + (b1 - 0x30) * 1260 + (p[2] - 0x81u) * 10 + (p[3] - 0x30u);
            if (char32_t cp = fourByteChar(linear)) {
                dst = putScalar(dst, cp);
                return 4;
            }
        }
    } else if (char16_t v = kTwoByteDecode[(b0 << 8 | b1) - 0x8000]) {
        *dst++ = v;
        return 2;
    } else if (const SupplementaryTwoByte* e = findByTwoByteCode(b0 << 8 | b1)) {
        dst = putScalar(dst, e->codePoint);
        return 2;
    }
    *dst++ = kReplacement;
    return 1;
}

// Widens the 16 bytes at p to dst and returns how many of them, from the
// first, are ASCII (16 when all are). Needs 16 bytes at p and room for 16
// units at dst.
std::size_t widenAscii16(const unsigned char* p, char16_t* dst) {
#if defined(__SSE2__)
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 8), _mm_unpackhi_epi8(bytes, zero));
    unsigned nonAscii = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    return static_cast<std::size_t>(std::countr_zero(nonAscii | 0x10000u));
#else
    std::size_t k = 0;
    while (k < 16 && p[k] < 0x80) {
        dst[k] = p[k];
        ++k;
    }
    return k;
#endif
}

// Narrows the 16 units at p to dst and returns how many of them, from the
// first, are ASCII (16 when all are). Needs 16 units at p and room for 16
// bytes at dst.
std::size_t narrowAscii16(const char16_t* p, char* dst) {
#if defined(__SSE2__)
    __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(lo, hi));
    // Adding 0x7F80 with unsigned saturation sets the top bit exactly for
    // units above 0x7F; the signed pack keeps that bit in each byte.
    __m128i bias = _mm_set1_epi16(0x7F80);
    __m128i flags = _mm_packs_epi16(_mm_adds_epu16(lo, bias), _mm_adds_epu16(hi, bias));
    unsigned nonAscii = static_cast<unsigned>(_mm_movemask_epi8(flags));
    return static_cast<std::size_t>(std::countr_zero(nonAscii | 0x10000u));
#else
    std::size_t k = 0;
    while (k < 16 && p[k] < 0x80) {
        dst[k] = static_cast<char>(p[k]);
        ++k;
    }
    return k;
#endif
}

// Writes all four bytes of a packed entry (first byte lowest) and returns
// the number that belong to the code.
std::size_t putPacked(char* dst, std::uint32_t packed) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(dst, &packed, 4);
    } else {
        for (int k = 0; k < 4; ++k) {
            dst[k] = static_cast<char>(packed >> (8 * k));
        }
    }
    return 1 + (packed > 0x7F) + 2 * (packed > 0xFFFF);
}

std::size_t putSupplementary(char* dst, char32_t cp) {
    if (const SupplementaryTwoByte* e = findByCodePoint(cp)) {
        dst[0] = static_cast<char>(e->twoByteCode >> 8);
        dst[1] = static_cast<char>(e->twoByteCode & 0xFF);
        return 2;
    }
    std::uint32_t linear = kSupplementaryBase + (cp - 0x10000);
    dst[0] = static_cast<char>(0x81 + linear / 12600);
    dst[1] = static_cast<char>(0x30 + linear / 1260 % 10);
    dst[2] = static_cast<char>(0x81 + linear / 10 % 126);
    dst[3] = static_cast<char>(0x30 + linear % 10);
    return 4;
}

// Encodes the units [p, end) to dst, where there is room for four bytes per
// unit (and at least 16). A high surrogate at end - 1 may take its low
// surrogate from [end, inputEnd). Returns where the input stopped.
const char16_t* encodeBlock(const char16_t* p, const char16_t* end, const char16_t* inputEnd,
                            char*& dst) {
    while (p < end) {
        if (end - p >= 16) {
            std::size_t k = narrowAscii16(p, dst);
            p += k;
            dst += k;
            if (k == 16) {
                continue;
            }
        }
        do {
            unsigned u = *p;
            std::uint32_t packed = kEncode[u];
            // Two-byte codes first: with the length known in advance the
            // next store does not wait for this lookup.
            if (packed - 0x80 < 0xFF80) {
                dst[0] = static_cast<char>(packed & 0xFF);
                dst[1] = static_cast<char>(packed >> 8);
                dst += 2;
                ++p;
            } else if ((u & 0xF800) != 0xD800) {
                dst += putPacked(dst, packed);
                ++p;
            } else if (u < 0xDC00 && inputEnd - p >= 2 && (p[1] & 0xFC00) == 0xDC00) {
                char32_t cp = 0x10000 + ((u - 0xD800) << 10) + (p[1] - 0xDC00u);
                dst += putSupplementary(dst, cp);
                p += 2;
            } else {
                *dst++ = '?';  // lone surrogate
                ++p;
            }
        } while (p < end && *p >= 0x80);
    }
    return p;
}

}  // namespace

std::u16string decodeGb18030(std::string_view bytes) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    if (n == 0) {
        return {};
    }
    if (const void* zero = std::memchr(in, 0, n)) {
        n = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - in);
    }
    // No byte gives more than one code unit (a four-byte code at most two).
    std::u16string result(n, u'\0');
    char16_t* const begin = result.data();
    char16_t* dst = begin;
    std::size_t i = 0;
    while (i < n) {
        if (n - i >= 16) {
            std::size_t k = widenAscii16(in + i, dst);
            i += k;
            dst += k;
            if (k == 16) {
                continue;
            }
        } else if (in[i] < 0x80) {
            *dst++ = in[i++];
            continue;
        }
        do {
            if (n - i >= 2) {
                if (char16_t v = kTwoByteDecode[(in[i] << 8 | in[i + 1]) - 0x8000]) {
                    *dst++ = v;
                    i += 2;
                    continue;
                }
            }
            i += decodeSlow(in + i, n - i, dst);
        } while (i < n && in[i] >= 0x80);
    }
    result.resize(static_cast<std::size_t>(dst - begin));
    return result;
}

std::string encodeGb18030(std::u16string_view text) {
    const char16_t* p = text.data();
    const char16_t* const inputEnd = p + text.size();
    // Enough for Chinese and ASCII text; four-byte codes make it grow.
    std::string result(2 * text.size() + 64, '\0');
    std::size_t used = 0;
    while (p < inputEnd) {
        std::size_t room = (result.size() - used) / 4;
        if (room < 16) {
            result.resize(std::max(2 * result.size(), used + 64 * 1024));
            continue;
        }
        const char16_t* end = p + std::min(static_cast<std::size_t>(inputEnd - p), room);
        char* dst = result.data() + used;
        p = encodeBlock(p, end, inputEnd, dst);
        used = static_cast<std::size_t>(dst - result.data());
    }
    result.resize(used);
    return result;
}

// The UTF-8 conversions write through a pointer into a buffer sized for the
// worst case and cut it at the end: no per-character capacity checks.
std::size_t decodeUtf8Into(std::string_view bytes, char16_t* const start) {
    char16_t* out = start;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
#if defined(__SSE2__)
        // Sixteen bytes at a time while they are ASCII, the common case of
        // most texts; else the ASCII bytes before the first that is not. All
        // sixteen units are written: there is room for them, as every byte
        // from p to the end has its unit.
        if (end - p >= 16) {
            const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i zero = _mm_setzero_si128();
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(sixteen, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(sixteen, zero));
            const unsigned nonAscii = static_cast<unsigned>(_mm_movemask_epi8(sixteen));
            const int ascii = nonAscii == 0 ? 16 : std::countr_zero(nonAscii);
            out += ascii;
            p += ascii;
            if (ascii == 16) {
                continue;
            }
        }
#endif
        unsigned b0 = *p;
        if (b0 < 0x80) {
            *out++ = static_cast<char16_t>(b0);
            ++p;
            continue;
        }
        // Well-formed three-byte sequences led by E1..EC or EE..EF (E0 and
        // ED narrow the second byte's range): most Chinese text.
        while (b0 >= 0xE1 && b0 != 0xED && b0 <= 0xEF && end - p >= 3 && (p[1] & 0xC0) == 0x80 &&
               (p[2] & 0xC0) == 0x80) {
            *out++ =
                static_cast<char16_t>((b0 & 0x0F) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu));
            p += 3;
            b0 = p < end ? *p : 0;
        }
        if (b0 < 0x80) {
            continue;
        }
        const Utf8Lead lead = utf8Lead(b0);
        const std::size_t length = lead.length;
        unsigned low = lead.low;
        unsigned high = lead.high;
        char32_t cp = lead.bits;
        // An invalid sequence gives one U+FFFD for its longest valid start
        // (at least one byte).
        std::size_t k = 1;
        for (; k < length && p + k < end; ++k) {
            unsigned b = p[k];
            if (b < low || b > high) {
                break;
            }
            cp = cp << 6 | (b & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        if (length != 0 && k == length) {
            out = putScalar(out, cp);
        } else {
            *out++ = kReplacement;
        }
        p += k;
    }
    return static_cast<std::size_t>(out - start);
}

std::u16string fromUtf8(std::string_view bytes) {
    std::u16string result(bytes.size(), u'\0');  // never more units than bytes
    result.resize(decodeUtf8Into(bytes, result.data()));
    return result;
}

std::size_t completeUtf8Prefix(std::string_view bytes) {
    // A sequence cut at the end starts at most three bytes before it.
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto b = static_cast<unsigned char>(bytes[size - back]);
        if (b < 0x80) {
            return size;
        }
        if (b >= 0xC0) {
            return utf8Lead(b).length > back ? size - back : size;
        }
    }
    return size;
}

bool isWellFormedUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const Utf8Lead lead = utf8Lead(*p);
        if (lead.length == 0 || static_cast<std::size_t>(end - p) < lead.length ||
            p[1] < lead.low || p[1] > lead.high) {
            return false;
        }
        for (std::size_t k = 2; k < lead.length; ++k) {
            if ((p[k] & 0xC0) != 0x80) {
                return false;
            }
        }
        p += lead.length;
    }
    return true;
}

std::size_t encodeUtf8Into(std::u16string_view text, char* const start) {
    char* out = start;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp < 0x80) {
            *out++ = static_cast<char>(cp);
            continue;
        }
        if ((cp & 0xF800) == 0xD800) {
            if (cp < 0xDC00 && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
                ++i;
            } else {
                cp = kReplacement;  // lone surrogate
            }
        }
        if (cp < 0x800) {
            *out++ = static_cast<char>(0xC0 | cp >> 6);
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *out++ = static_cast<char>(0xE0 | cp >> 12);
            *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | cp >> 18);
            *out++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return static_cast<std::size_t>(out - start);
}

void appendUtf8(std::u16string_view text, std::string& out) {
    const std::size_t used = out.size();
    out.resize(used + text.size() * 3);  // three bytes a unit at most
    out.resize(used + encodeUtf8Into(text, out.data() + used));
}

std::string toUtf8(std::u16string_view text) {
    std::string result;
    appendUtf8(text, result);
    return result;
}

}  // namespace lcr
