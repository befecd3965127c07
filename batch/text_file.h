// Reading a batch file into program text and writing program text back, in
// the file's charset.
//
//   TextFileContent source = ReadTextFile(path, requestedCharset(comboPosition));
//   ... source.text is UTF-16, source.charset the charset it was read in ...
//   WriteTextFile(outputPath, replaced, source.charset);   // keeps the charset
//
// Reading, with TextCharset::Detect requested, takes the first that holds:
//   1. a byte-order mark: EF BB BF UTF-8, FF FE UTF-16LE, FE FF UTF-16BE
//      (the mark is not part of the text);
//   2. an HTML meta tag declaring UTF-8, Big5-HKSCS or Big5
//      (SniffHtmlCharset, on the bytes up to the first 00 or 1A byte);
//   3. LooksLikeUtf8 of the bytes: UTF-8;
//   4. otherwise the bytes are GBK (read as GB18030) as they stand.
// A requested charset is used as it is: UTF-8 skips a leading EF BB BF, the
// UTF-16 charsets always skip the first two bytes, GBK takes the bytes as
// they stand. When a conversion fails (bytes that do not decode in the
// charset), or gives an empty text, the text is the file's bytes from the
// first one, read as GB18030, and the charset becomes Gbk; but a file that
// holds nothing except the mark of its charset is an empty text in that
// charset. Texts end at their first zero character.
//
// Writing converts the text into the charset and puts the charset's
// byte-order mark in front (UTF-8 and both UTF-16 charsets; Big5 has none).
// When the text cannot be converted (a character the charset cannot hold) it
// is written as GB18030 without a mark, so no character is lost.
//
// Failures are values: a file that cannot be read gives an empty text and
// its status; a write says whether it worked. A read never changes the file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "batch/charset.h"

namespace lcr {

enum class FileStatus {
    Ok,
    CannotOpen,   // missing, no permission, or the path leads through no folder
    NotAFile,     // a folder, device, pipe or socket: never read or written, since
                  // that could block or never end
    ReadFailed,   // opened, but reading broke off
    WriteFailed,  // opened, but not every byte could be written
    TooLarge,     // the file, or its text, does not fit in memory
};

// A text and the charset it was read in.
struct DecodedText {
    std::u16string text;
    TextCharset charset = TextCharset::Gbk;  // Gbk to Big5Hkscs, never Detect
};

struct TextFileContent {
    FileStatus status = FileStatus::CannotOpen;
    std::u16string text;                        // empty unless status is Ok
    TextCharset charset = TextCharset::Detect;  // the charset read; Detect unless status is Ok
};

// The rules of reading above, on a file's bytes in memory.
DecodedText decodeFileBytes(std::string_view bytes, TextCharset requested);

// The bytes a file of `text` in `charset` holds: mark and converted text, or
// the text's GB18030 bytes for Detect, Gbk and whenever the conversion fails.
std::string encodeFileBytes(std::u16string_view text, TextCharset charset);

// Reads the whole file and decodes it as decodeFileBytes does. The file is
// opened for reading only, so read-only files read like any other.
TextFileContent ReadTextFile(const std::filesystem::path& path, TextCharset requested);

// Creates the file, or empties it when it exists, and writes
// encodeFileBytes(text, charset) into it. A path that names a folder,
// device, pipe or socket is left alone (NotAFile).
FileStatus WriteTextFile(const std::filesystem::path& path, std::u16string_view text,
                         TextCharset charset);

}  // namespace lcr
