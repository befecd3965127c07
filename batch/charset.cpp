#include "batch/charset.h"

#include "text/utf8_lead.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "operations/yield_to_ui.h"
#include "text/gb18030.h"
#include "text/program_text.h"

namespace lcr {

namespace {

// iconv_t is a pointer in glibc; the handle closes it on every path.
struct IconvCloser {
    void operator()(void* descriptor) const { iconv_close(static_cast<iconv_t>(descriptor)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

bool eightAsciiBytes(const unsigned char* p) {
    std::uint64_t block;
    std::memcpy(&block, p, sizeof block);
    return (block & kHighBits) == 0;
}

bool isHighSurrogate(char16_t c) {
    return (c & 0xFC00) == 0xD800;
}
bool isLowSurrogate(char16_t c) {
    return (c & 0xFC00) == 0xDC00;
}

bool hasLoneSurrogate(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            ++i;
        } else if ((text[i] & 0xF800) == 0xD800) {
            return true;
        }
    }
    return false;
}

void cutAtZero(std::u16string& text) {
    const std::size_t zero = text.find(u'\0');
    if (zero != std::u16string::npos) {
        text.resize(zero);
    }
}

// Strict UTF-8 as iconv reads it: overlong forms, surrogates, values above
// U+10FFFF and a sequence cut off at the end fail the whole input.
std::optional<std::u16string> decodeUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::u16string text(n, u'\0');  // never more code units than bytes
    char16_t* dst = text.data();
    std::size_t i = 0;
    while (i < n) {
        if (n - i >= 8 && eightAsciiBytes(p + i)) {
            for (int k = 0; k < 8; ++k) {
                *dst++ = p[i++];
            }
            continue;
        }
        const unsigned b0 = p[i];
        if (b0 < 0x80) {
            *dst++ = static_cast<char16_t>(b0);
            ++i;
            continue;
        }
        // Chinese text is mostly three-byte forms whose lead byte leaves the
        // second byte the whole range 80..BF (E0 and ED narrow it).
        if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED && n - i >= 3) {
            const unsigned b1 = p[i + 1];
            const unsigned b2 = p[i + 2];
            if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) {
                return std::nullopt;
            }
            *dst++ = static_cast<char16_t>((b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F));
            i += 3;
            continue;
        }
        const Utf8Lead lead = utf8Lead(b0);
        const std::size_t length = lead.length;
        unsigned low = lead.low;
        unsigned high = lead.high;
        char32_t cp = lead.bits;
        if (length == 0) {
            return std::nullopt;
        }
        if (n - i < length) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned b = p[i + k];
            if (b < low || b > high) {
                return std::nullopt;
            }
            cp = cp << 6 | (b & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *dst++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *dst++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *dst++ = static_cast<char16_t>(cp);
        }
        i += length;
    }
    text.resize(static_cast<std::size_t>(dst - text.data()));
    return text;
}

// Strict UTF-16 as iconv reads it: an odd byte at the end or a surrogate
// without its partner fails the whole input.
std::optional<std::u16string> decodeUtf16(std::string_view bytes, std::endian order) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::u16string text(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), bytes.size());
    if (order != std::endian::native) {
        for (char16_t& c : text) {
            c = static_cast<char16_t>(c << 8 | c >> 8);
        }
    }
    if (hasLoneSurrogate(text)) {
        return std::nullopt;
    }
    return text;
}

// UTF-8 of a text without lone surrogates, written into a buffer sized for
// the worst case (three bytes per code unit) instead of byte by byte.
std::string encodeUtf8(std::u16string_view text) {
    std::string bytes(text.size() * 3, '\0');
    auto* dst = reinterpret_cast<unsigned char*>(bytes.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = text[i];
        if (c < 0x80) {
            *dst++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *dst++ = static_cast<unsigned char>(0xC0 | c >> 6);
            *dst++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (!isHighSurrogate(static_cast<char16_t>(c))) {
            *dst++ = static_cast<unsigned char>(0xE0 | c >> 12);
            *dst++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
            *dst++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            const char32_t cp = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
            *dst++ = static_cast<unsigned char>(0xF0 | cp >> 18);
            *dst++ = static_cast<unsigned char>(0x80 | (cp >> 12 & 0x3F));
            *dst++ = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
            *dst++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        }
    }
    bytes.resize(static_cast<std::size_t>(dst - reinterpret_cast<unsigned char*>(bytes.data())));
    return bytes;
}

std::string encodeUtf16(std::u16string_view text, std::endian order) {
    std::string bytes(text.size() * 2, '\0');
    std::memcpy(bytes.data(), text.data(), bytes.size());
    if (order != std::endian::native) {
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            std::swap(bytes[i], bytes[i + 1]);
        }
    }
    return bytes;
}

std::u16string pairsToQuotes(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\'' && i + 1 < text.size() && text[i + 1] == u'\'') {
            out.push_back(u'"');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::u16string withoutQuotes(std::u16string_view text) {
    std::u16string out(text);
    std::erase(out, u'"');
    return out;
}

// Where TextBetween finds its text: the offset and length of the text
// between the markers (from 0) and the 1-based position behind the end
// marker.
struct Between {
    std::size_t offset = 0;
    std::size_t length = 0;
    long long next = 1;
};

std::optional<Between> findBetween(std::u16string_view text, std::u16string_view startMarker,
                                   std::u16string_view endMarker, long long position) {
    const long long from = position < 1 ? 1 : position;
    long long contentStart = 1;
    if (startMarker.empty()) {
        if (from != 1) {
            return std::nullopt;
        }
    } else {
        const long long at = findText(text, startMarker, from, true);
        if (at < 0) {
            return std::nullopt;
        }
        contentStart = at + static_cast<long long>(startMarker.size());
    }
    long long contentEnd = static_cast<long long>(text.size()) + 1;
    long long next = contentEnd;
    if (!endMarker.empty()) {
        contentEnd = findText(text, endMarker, contentStart, true);
        if (contentEnd < 0) {
            return std::nullopt;
        }
        next = contentEnd + static_cast<long long>(endMarker.size());
    }
    return Between{static_cast<std::size_t>(contentStart - 1),
                   static_cast<std::size_t>(contentEnd - contentStart), next};
}

// Bytes between yieldToUi calls in the UTF-8 walk: a few hundred
// microseconds of work, far below the pump's own throttle.
constexpr std::size_t kYieldStep = 256 * 1024;

}  // namespace

TextCharset requestedCharset(int comboPosition) {
    if (comboPosition < 0 || comboPosition >= static_cast<int>(kCharsetComboItems.size())) {
        return TextCharset::Gbk;
    }
    return static_cast<TextCharset>(comboPosition);
}

std::string_view converterName(TextCharset charset) {
    switch (charset) {
        case TextCharset::Utf8:
            return "UTF-8";
        case TextCharset::Utf16Le:
            return "UTF-16LE";
        case TextCharset::Utf16Be:
            return "UTF-16BE";
        case TextCharset::Big5:
            return "BIG5";
        case TextCharset::Big5Hkscs:
            return "BIG5-HKSCS";
        case TextCharset::Detect:
        case TextCharset::Gbk:
            break;
    }
    return {};
}

std::string_view byteOrderMark(TextCharset charset) {
    switch (charset) {
        case TextCharset::Utf8:
            return "\xEF\xBB\xBF";
        case TextCharset::Utf16Le:
            return "\xFF\xFE";
        case TextCharset::Utf16Be:
            return "\xFE\xFF";
        default:
            return {};
    }
}

std::string ConvertCharset(std::string_view bytes, std::string_view fromName,
                           std::string_view toName) {
    // An empty name would make iconv pick the locale's charset.
    if (bytes.empty() || fromName.empty() || toName.empty()) {
        return {};
    }
    const iconv_t raw = iconv_open(std::string(toName).c_str(), std::string(fromName).c_str());
    if (raw == reinterpret_cast<iconv_t>(-1)) {
        return {};
    }
    const IconvHandle descriptor(raw);
    std::string out(bytes.size() * 2 + 16, '\0');
    std::size_t used = 0;
    char* in = const_cast<char*>(bytes.data());  // iconv does not write through it
    std::size_t inLeft = bytes.size();
    bool flushing = false;  // the input is done; the last call ends the shift state
    while (true) {
        char* dst = out.data() + used;
        std::size_t room = out.size() - used;
        const std::size_t result = flushing ? iconv(descriptor.get(), nullptr, nullptr, &dst, &room)
                                            : iconv(descriptor.get(), &in, &inLeft, &dst, &room);
        used = static_cast<std::size_t>(dst - out.data());
        if (result != static_cast<std::size_t>(-1)) {
            if (flushing) {
                break;
            }
            flushing = true;
            continue;
        }
        if (errno != E2BIG) {
            return {};  // EILSEQ: undecodable or unrepresentable; EINVAL: cut off at the end
        }
        out.resize(out.size() * 2);
    }
    out.resize(used);
    return out;
}

std::u16string convertToText(std::string_view bytes, TextCharset charset) {
    std::optional<std::u16string> text;
    switch (charset) {
        case TextCharset::Utf8:
            text = decodeUtf8(bytes);
            break;
        case TextCharset::Utf16Le:
            text = decodeUtf16(bytes, std::endian::little);
            break;
        case TextCharset::Utf16Be:
            text = decodeUtf16(bytes, std::endian::big);
            break;
        case TextCharset::Big5:
        case TextCharset::Big5Hkscs:
            return decodeGb18030(ConvertCharset(bytes, converterName(charset), "GB18030"));
        default:
            return decodeGb18030(bytes);
    }
    if (!text) {
        return {};
    }
    cutAtZero(*text);
    return std::move(*text);
}

std::string convertFromText(std::u16string_view text, TextCharset charset) {
    // Through GB18030 a lone surrogate becomes '?'; the direct ways below are
    // taken only for texts without one, where they give the same bytes.
    switch (charset) {
        case TextCharset::Utf8:
            if (!hasLoneSurrogate(text)) {
                return encodeUtf8(text);
            }
            break;
        case TextCharset::Utf16Le:
        case TextCharset::Utf16Be:
            if (!hasLoneSurrogate(text)) {
                return encodeUtf16(
                    text, charset == TextCharset::Utf16Le ? std::endian::little : std::endian::big);
            }
            break;
        case TextCharset::Big5:
        case TextCharset::Big5Hkscs:
            break;
        default:
            return encodeGb18030(text);
    }
    return ConvertCharset(encodeGb18030(text), "GB18030", converterName(charset));
}

std::optional<std::size_t> firstUnrepresentable(std::u16string_view text, TextCharset charset) {
    IconvHandle descriptor;
    if (charset == TextCharset::Big5 || charset == TextCharset::Big5Hkscs) {
        const iconv_t raw = iconv_open(std::string(converterName(charset)).c_str(), "GB18030");
        if (raw == reinterpret_cast<iconv_t>(-1)) {
            return text.empty() ? std::nullopt : std::optional<std::size_t>(0);
        }
        descriptor.reset(raw);
    }
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        std::size_t length = 1;
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            length = 2;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            return i;
        }
        if (descriptor && c >= 0x80) {
            std::string in = encodeGb18030(text.substr(i, length));
            char out[16];
            char* src = in.data();
            std::size_t inLeft = in.size();
            char* dst = out;
            std::size_t room = sizeof out;
            if (iconv(descriptor.get(), &src, &inLeft, &dst, &room) ==
                static_cast<std::size_t>(-1)) {
                return i;
            }
        }
        i += length;
    }
    return std::nullopt;
}

bool LooksLikeUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    bool sawNonAscii = false;
    std::size_t nextYield = kYieldStep;
    std::size_t i = 0;
    while (i < n) {
        if (i >= nextYield) {
            yieldToUi();
            nextYield = i + kYieldStep;
        }
        if (n - i >= 8 && eightAsciiBytes(p + i)) {
            i += 8;
            continue;
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        sawNonAscii = true;
        if (n - i >= 2 && (b & 0xE0) == 0xC0 && (p[i + 1] & 0xC0) == 0x80) {
            i += 2;
        } else if (n - i >= 3 && (b & 0xF0) == 0xE0 && (p[i + 1] & 0xC0) == 0x80 &&
                   (p[i + 2] & 0xC0) == 0x80) {
            i += 3;
        } else {
            return false;
        }
    }
    return sawNonAscii;
}

std::u16string TextBetween(std::u16string_view text, std::u16string_view startMarker,
                           std::u16string_view endMarker, long long& position) {
    const std::u16string start = pairsToQuotes(startMarker);
    const std::u16string end = pairsToQuotes(endMarker);
    std::optional<Between> found = findBetween(text, start, end, position);
    if (!found &&
        (start.find(u'"') != std::u16string::npos || end.find(u'"') != std::u16string::npos)) {
        found = findBetween(text, withoutQuotes(start), withoutQuotes(end), position);
    }
    if (!found) {
        return {};
    }
    position = found->next;
    return std::u16string(text.substr(found->offset, found->length));
}

bool ContainsAnyOf(std::u16string_view text, std::u16string_view variantList) {
    for (const std::u16string& variant : splitText(pairsToQuotes(variantList), u"[fg]")) {
        if (!variant.empty() && findText(text, variant, 1, true) > 0) {
            return true;
        }
    }
    return false;
}

HtmlCharset SniffHtmlCharset(std::u16string_view text) {
    // The markers hold no quotes and are never empty, so the plain search of
    // TextBetween is all it takes; it works on views, not copies of the text.
    std::u16string_view area = text;
    if (const auto head = findBetween(text, u"<head>", u"</head>", 1); head && head->length > 0) {
        area = text.substr(head->offset, head->length);
    }
    long long position = 1;
    while (true) {
        const auto meta = findBetween(area, u"<meta", u">", position);
        if (!meta || meta->length == 0) {
            return HtmlCharset::None;
        }
        position = meta->next;
        const std::u16string_view tag = area.substr(meta->offset, meta->length);
        if (ContainsAnyOf(tag, kHtmlUtf8Declarations)) {
            return HtmlCharset::Utf8;
        }
        if (ContainsAnyOf(tag, kHtmlBig5HkscsDeclarations)) {
            return HtmlCharset::Big5Hkscs;
        }
        if (ContainsAnyOf(tag, kHtmlBig5Declarations)) {
            return HtmlCharset::Big5;
        }
    }
}

}  // namespace lcr
