// GB18030 <-> UTF-16, the conversion at every file boundary.
//
// GB18030 is a superset of GBK, so files written as GBK read the same, and it
// covers all of Unicode, so no character a user types or pastes is lost on
// the way to a file and back.
#pragma once

#include <string>
#include <string_view>

namespace lcr {

// Decodes GB18030 bytes into UTF-16. Decoding stops at the first zero byte
// (the text ends there). A byte sequence that is not valid GB18030 becomes
// U+FFFD for its first byte and decoding goes on with the next byte; a
// truncated multi-byte sequence at the very end becomes one U+FFFD.
std::u16string decodeGb18030(std::string_view bytes);

// Encodes UTF-16 as GB18030. Every Unicode scalar value has an encoding, so
// nothing is lost; a lone surrogate (not a character) becomes '?'.
std::string encodeGb18030(std::u16string_view text);

// UTF-8 <-> UTF-16, for the command line, tests and diagnostics. Invalid
// UTF-8 becomes U+FFFD; a lone surrogate becomes U+FFFD.
std::u16string fromUtf8(std::string_view bytes);
std::string toUtf8(std::u16string_view text);
// The same, with no buffer of their own, for text that streams through:
// decodeUtf8Into writes at most bytes.size() units to `out` and returns how
// many it wrote; a sequence cut at the end of `bytes` becomes U+FFFD, so a
// chunk of a longer input is decoded up to completeUtf8Prefix(chunk) and the
// rest carried on to the next chunk.
std::size_t decodeUtf8Into(std::string_view bytes, char16_t* out);
std::size_t completeUtf8Prefix(std::string_view bytes);
// appendUtf8 appends the encoding of `text` to `out`; a surrogate pair cut
// at the end of `text` is a lone surrogate, so cut texts after a low one.
void appendUtf8(std::u16string_view text, std::string& out);

// Whether `bytes` are well-formed UTF-8 throughout: exactly the inputs that
// fromUtf8 decodes without a U+FFFD of its own. Pure ASCII is well-formed.
bool isWellFormedUtf8(std::string_view bytes);

}  // namespace lcr
