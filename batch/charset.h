// The charsets of batch files: their codes, how a file's charset is detected,
// and the converter between them.
//
// A batch run reads every source file into program text (UTF-16) and may
// write program text back in the source's charset (text_file.h does both).
// This header holds the parts that work on memory only:
//
//   TextCharset requested = requestedCharset(comboPosition);   // the user's choice
//   bool utf8 = LooksLikeUtf8(bytes);                           // the structure test
//   HtmlCharset declared = SniffHtmlCharset(text);              // <meta ... charset=...>
//   std::u16string text = convertToText(bytes, TextCharset::Big5);
//
// The converter is glibc's iconv. Its program side is "GB18030", a superset
// of GBK that covers all of Unicode. Every conversion is strict: bytes that
// do not decode, or characters the target charset cannot hold, make the
// whole conversion fail, and a failure gives an empty result, never a
// partial one. Nothing here throws or shows a message.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lcr {

// The charset of a batch file.
enum class TextCharset {
    Detect = 0,     // a request only: find out from the file; never the charset of a read file
    Gbk = 1,        // the bytes are program text as they stand (read as GB18030)
    Utf8 = 2,       // "UTF-8", written with the mark EF BB BF
    Utf16Le = 3,    // "UTF-16LE", written with the mark FF FE
    Utf16Be = 4,    // "UTF-16BE", written with the mark FE FF
    Big5 = 5,       // "BIG5", no mark; reached by detection only
    Big5Hkscs = 6,  // "BIG5-HKSCS", no mark; reached by detection only
};

// The entries of the charset combo box (组合框文件编码), in order. The
// position of the chosen entry is the requested code: 0 detect, 1 GBK,
// 2 UTF-8, 3 UTF-16LE, 4 UTF-16BE.
inline constexpr std::array<std::u16string_view, 5> kCharsetComboItems = {
    u"自动识别", u"GBK", u"UTF-8", u"Unicode", u"Unicode be"};

// The requested code for a combo box position. No entry selected (-1), or
// any position outside the list, reads the bytes as they stand: Gbk.
TextCharset requestedCharset(int comboPosition);

// The name the converter is given for a charset: "UTF-8", "UTF-16LE",
// "UTF-16BE", "BIG5", "BIG5-HKSCS"; empty for Detect and Gbk, which are
// never converted.
std::string_view converterName(TextCharset charset);

// The byte-order mark put in front of a file written in `charset`: EF BB BF,
// FF FE or FE FF for the UTF charsets, empty for the others.
std::string_view byteOrderMark(TextCharset charset);

// Converts `bytes` from the charset named `fromName` to the one named
// `toName` (names as iconv knows them, compared without regard to case).
// The result carries no byte-order mark for the names above. Empty input
// gives empty output; an unknown name, bytes that do not decode (a
// truncated sequence at the end included) or a character the target cannot
// hold give empty output.
std::string ConvertCharset(std::string_view bytes, std::string_view fromName,
                           std::string_view toName);

// Bytes in `charset` as program text: exactly what ConvertCharset(bytes,
// converterName(charset), "GB18030") gives, decoded and ending at its first
// zero character, so an empty text stands for a failure as well as for a
// text that starts with a zero. Detect and Gbk decode the bytes as GB18030.
// UTF-8 and UTF-16 are decoded directly, much faster than through iconv and
// with the same result.
std::u16string convertToText(std::string_view bytes, TextCharset charset);

// Program text in `charset`: exactly what ConvertCharset(encodeGb18030(text),
// "GB18030", converterName(charset)) gives, without a mark; empty on
// failure. Detect and Gbk give the text's GB18030 bytes.
std::string convertFromText(std::u16string_view text, TextCharset charset);

// The position (in code units) of the first character of `text` that
// `charset` cannot hold; nothing when it holds them all. A lone surrogate is
// no character, and no charset holds it. Slow (a conversion per character);
// meant for the text whose convertFromText has just failed.
std::optional<std::size_t> firstUnrepresentable(std::u16string_view text, TextCharset charset);

// Whether `bytes` look like UTF-8. The walk takes one ASCII byte (below
// 0x80), or a two-byte form 110xxxxx 10xxxxxx, or a three-byte form 1110xxxx
// 10xxxxxx 10xxxxxx, and answers false at the first byte that starts none of
// these. The answer is true when the walk reaches the end and at least one
// byte was not ASCII: empty and pure-ASCII bytes are not UTF-8, any four-byte
// sequence makes the answer false, overlong forms and encoded surrogates
// pass. Lets pending window events run on long inputs (yieldToUi).
bool LooksLikeUtf8(std::string_view bytes);

// The text between `startMarker` and `endMarker`, searched from the 1-based
// `position` (below 1 counts as 1): the start marker at or after the
// position, then the end marker at or after the first character behind the
// start marker, both ignoring the case of ASCII letters. Found: gives the
// text strictly between them and moves `position` to the first character
// behind the end marker. Not found: gives an empty text and leaves
// `position` alone.
//   TextBetween(u"<head><meta a></head>", u"<META", u">", pos = 1) == u" a", pos == 15
// In a marker, two single quotes '' stand for one double quote; when a
// marker is not found, the search is made once more with all double quotes
// taken out of both markers. An empty start marker stands for the beginning
// of the text (found only when the position is 1), an empty end marker for
// its end (the position then moves behind the last character).
std::u16string TextBetween(std::u16string_view text, std::u16string_view startMarker,
                           std::u16string_view endMarker, long long& position);

// Whether `text` contains any of the variants of `variantList`, ignoring the
// case of ASCII letters. The list is split at "[fg]" after each '' has been
// turned into a double quote; empty variants are ignored.
//   ContainsAnyOf(u"<meta charset=\"utf-8\">", u"charset=UTF-8[fg]charset=''UTF-8''") == true
bool ContainsAnyOf(std::u16string_view text, std::u16string_view variantList);

// The charset declarations of HTML meta tags, each recognised unquoted, in
// double quotes ('' in the list) and in single quotes.
inline constexpr std::u16string_view kHtmlUtf8Declarations =
    u"charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'";
inline constexpr std::u16string_view kHtmlBig5Declarations =
    u"charset=Big5[fg]charset=''Big5''[fg]charset='Big5'";
inline constexpr std::u16string_view kHtmlBig5HkscsDeclarations =
    u"charset=Big5-HKSCS[fg]charset=''Big5-HKSCS''[fg]charset='Big5-HKSCS'";

enum class HtmlCharset { None = 0, Utf8 = 1, Big5 = 2, Big5Hkscs = 3 };

// The charset an HTML text declares in a meta tag. The tags are looked for
// between "<head>" and "</head>", or in the whole text when there is no head
// section; they are taken in order, and the first one that declares UTF-8,
// Big5-HKSCS or Big5 (tested in that order, since "charset=Big5-HKSCS"
// contains "charset=Big5") decides. A tag with nothing between "<meta" and
// ">" ends the search with None, as does running out of tags. GB2312, GBK and
// other charsets are not recognised.
HtmlCharset SniffHtmlCharset(std::u16string_view text);

}  // namespace lcr
