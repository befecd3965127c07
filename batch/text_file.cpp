#include "batch/text_file.h"

#include <algorithm>
#include <exception>

#include "text/gb18030.h"

namespace lcr {

namespace {

// How the zero bytes of a file without a mark lie: all at odd offsets is
// UTF-16LE text of mostly ASCII or Latin characters ("a\0b\0"), all at even
// offsets UTF-16BE ("\0a\0b"); zero bytes at both, or an odd size, are no
// UTF-16 text. Detect when the bytes hold no zero byte.
enum class ZeroPattern { None, Utf16Le, Utf16Be, Other };

ZeroPattern zeroPatternOf(std::string_view bytes) {
    bool even = false;
    bool odd = false;
    for (std::size_t at = bytes.find('\0'); at != std::string_view::npos;
         at = bytes.find('\0', at + 1)) {
        (at % 2 == 0 ? even : odd) = true;
        if (even && odd) {
            return ZeroPattern::Other;
        }
    }
    if (!even && !odd) {
        return ZeroPattern::None;
    }
    if (bytes.size() % 2 != 0) {
        return ZeroPattern::Other;
    }
    return odd ? ZeroPattern::Utf16Le : ZeroPattern::Utf16Be;
}

// Whether the text of `body` in `charset` would hold a zero character.
bool holdsZeroCharacter(std::string_view body, TextCharset charset) {
    if (charset != TextCharset::Utf16Le && charset != TextCharset::Utf16Be) {
        // No multi-byte sequence of GB18030, UTF-8 or Big5 holds a zero byte.
        return body.find('\0') != std::string_view::npos;
    }
    for (std::size_t i = 0; i + 1 < body.size(); i += 2) {
        if (body[i] == '\0' && body[i + 1] == '\0') {
            return true;
        }
    }
    return false;
}

std::size_t lineOf(std::u16string_view text, std::size_t position) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < position; ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) {
            ++line;
        }
    }
    return line;
}

char32_t characterAt(std::u16string_view text, std::size_t i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    return c;
}

bool isConverted(TextCharset charset) {
    return charset >= TextCharset::Utf8 && charset <= TextCharset::Big5Hkscs;
}

// Whether the bytes hold "<meta" in any letter case. Every ASCII character
// of the text decoded from the bytes comes from one ASCII byte, and
// neighbours from neighbours, so a text without this byte sequence holds no
// meta tag and need not be decoded to be sniffed.
bool mayHoldMetaTag(std::string_view bytes) {
    static constexpr char kMeta[] = "meta";
    std::size_t from = 0;
    while (true) {
        const std::size_t at = bytes.find('<', from);
        if (at == std::string_view::npos || bytes.size() - at < 5) {
            return false;
        }
        bool same = true;
        for (std::size_t k = 0; k < 4 && same; ++k) {
            const char c = bytes[at + 1 + k];
            same = (c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) == kMeta[k];
        }
        if (same) {
            return true;
        }
        from = at + 1;
    }
}

// The charset an HTML meta tag of the file declares, Detect when none. The
// file is taken as text up to its first 00 or 1A byte.
TextCharset charsetDeclaredInHtml(std::string_view bytes) {
    const std::size_t end = std::min(bytes.find('\0'), bytes.find('\x1A'));
    const std::string_view text = bytes.substr(0, end);
    if (!mayHoldMetaTag(text)) {
        return TextCharset::Detect;
    }
    switch (SniffHtmlCharset(decodeGb18030(text))) {
        case HtmlCharset::Utf8:
            return TextCharset::Utf8;
        case HtmlCharset::Big5:
            return TextCharset::Big5;
        case HtmlCharset::Big5Hkscs:
            return TextCharset::Big5Hkscs;
        case HtmlCharset::None:
            break;
    }
    return TextCharset::Detect;
}

}  // namespace

DecodedText decodeFileBytes(std::string_view bytes, TextCharset requested) {
    TextCharset charset = requested;
    if (charset < TextCharset::Detect || charset > TextCharset::Big5Hkscs) {
        charset = TextCharset::Gbk;
    }
    if (charset == TextCharset::Detect) {
        for (const TextCharset marked :
             {TextCharset::Utf8, TextCharset::Utf16Le, TextCharset::Utf16Be}) {
            if (bytes.starts_with(byteOrderMark(marked))) {
                charset = marked;
                break;
            }
        }
    }
    const std::string_view mark = byteOrderMark(charset);
    const bool hasMark = !mark.empty() && bytes.starts_with(mark);
    const std::string_view body = bytes.substr(hasMark ? mark.size() : 0);

    if (charset == TextCharset::Detect) {
        switch (zeroPatternOf(body)) {
            case ZeroPattern::None:
                charset = charsetDeclaredInHtml(body);
                if (charset == TextCharset::Detect) {
                    charset = LooksLikeUtf8(body) ? TextCharset::Utf8 : TextCharset::Gbk;
                }
                break;
            case ZeroPattern::Utf16Le:
                charset = TextCharset::Utf16Le;
                break;
            case ZeroPattern::Utf16Be:
                charset = TextCharset::Utf16Be;
                break;
            case ZeroPattern::Other:
                return DecodedText{{}, TextCharset::Gbk, false, true, false};
        }
    }
    // A file that holds nothing but its mark is an empty text in that
    // charset, not the mark's bytes taken for two Chinese characters.
    if (hasMark && body.empty()) {
        return DecodedText{{}, charset, true, false, true};
    }
    DecodedText decoded;
    if (isConverted(charset) && !body.empty() && !holdsZeroCharacter(body, charset)) {
        decoded.text = convertToText(body, charset);
        decoded.charset = charset;
        decoded.hasMark = hasMark;
    }
    if (decoded.text.empty()) {
        decoded.charset = TextCharset::Gbk;
        decoded.hasMark = false;
        if (holdsZeroCharacter(bytes, TextCharset::Gbk)) {
            return DecodedText{{}, TextCharset::Gbk, false, true, false};
        }
        decoded.text = decodeGb18030(bytes);
    }
    // UTF-8 and UTF-16 decode strictly and so always come back the same;
    // GB18030 does too, except where a byte that does not decode became
    // U+FFFD, and Big5 has codes that share a character.
    const bool mayDiffer = decoded.charset == TextCharset::Big5 ||
                           decoded.charset == TextCharset::Big5Hkscs ||
                           (decoded.charset == TextCharset::Gbk &&
                            decoded.text.find(u'\uFFFD') != std::u16string::npos);
    if (mayDiffer) {
        decoded.exact =
            encodeFileBytes(decoded.text, decoded.charset, decoded.hasMark).bytes == bytes;
    }
    return decoded;
}

EncodedText encodeFileBytes(std::u16string_view text, TextCharset charset, bool withMark) {
    EncodedText encoded;
    if (!isConverted(charset)) {
        charset = TextCharset::Gbk;
    }
    // Big5 is checked character by character only when its conversion has
    // failed; for the others only a lone surrogate can fail, which their
    // conversions would turn into "?" rather than fail on.
    const bool big5 = charset == TextCharset::Big5 || charset == TextCharset::Big5Hkscs;
    std::optional<std::size_t> lacking;
    if (!big5) {
        lacking = firstUnrepresentable(text, charset);
    }
    if (!lacking) {
        encoded.bytes = convertFromText(text, charset);
        if (encoded.bytes.empty() && !text.empty()) {
            lacking = firstUnrepresentable(text, charset).value_or(0);
        }
    }
    if (lacking) {
        encoded.bytes.clear();
        encoded.unrepresentable =
            UnrepresentableCharacter{characterAt(text, *lacking), lineOf(text, *lacking)};
        return encoded;
    }
    if (withMark) {
        encoded.bytes.insert(0, byteOrderMark(charset));
    }
    return encoded;
}

TextFileContent ReadTextFile(const std::filesystem::path& path, TextCharset requested) {
    TextFileContent content;
    WholeFile file = readWholeFile(path);
    content.status = file.status;
    if (file.status != FileStatus::Ok) {
        content.charset = TextCharset::Detect;
        return content;
    }
    try {
        static_cast<DecodedText&>(content) = decodeFileBytes(file.bytes, requested);
    } catch (const std::exception&) {  // std::bad_alloc, std::length_error
        TextFileContent tooLarge;
        tooLarge.status = FileStatus::TooLarge;
        tooLarge.charset = TextCharset::Detect;
        return tooLarge;
    }
    return content;
}

TextWriteResult WriteTextFile(const std::filesystem::path& path, std::u16string_view text,
                              TextCharset charset, bool withMark) {
    TextWriteResult result;
    EncodedText encoded;
    try {
        encoded = encodeFileBytes(text, charset, withMark);
    } catch (const std::exception&) {
        result.status = FileStatus::TooLarge;
        return result;
    }
    if (encoded.unrepresentable) {
        result.unrepresentable = encoded.unrepresentable;
        return result;
    }
    result.status = writeFileAtomically(path, encoded.bytes);
    return result;
}

}  // namespace lcr
