// Reading a batch file into program text and writing program text back, in
// the file's charset, so that a text read and written back unchanged gives
// the file's bytes again.
//
//   TextFileContent source = ReadTextFile(path, requestedCharset(comboPosition));
//   ... source.text is UTF-16, source.charset the charset it was read in ...
//   TextWriteResult w = WriteTextFile(outputPath, replaced, source.charset, source.hasMark);
//
// Reading, with TextCharset::Detect requested, takes the first that holds:
//   1. a byte-order mark: EF BB BF UTF-8, FF FE UTF-16LE, FE FF UTF-16BE
//      (the mark is not part of the text);
//   2. zero bytes, all of them at odd offsets (UTF-16LE: "a\0b\0") or all at
//      even offsets (UTF-16BE: "\0a\0b"), in an even number of bytes that
//      decode as that UTF-16: UTF-16 without a mark. Any other file holding
//      a zero byte is binary (below);
//   3. an HTML meta tag declaring UTF-8, Big5-HKSCS or Big5
//      (SniffHtmlCharset, on the bytes up to the first 00 or 1A byte);
//   4. LooksLikeUtf8 of the bytes: UTF-8;
//   5. otherwise the bytes are GBK (read as GB18030) as they stand.
// A requested charset is used as it is; its byte-order mark, when the file
// starts with it, is not part of the text. When a conversion fails (bytes
// that do not decode in the charset), or gives an empty text, the text is
// the file's bytes from the first one, read as GB18030, and the charset
// becomes Gbk; but a file that holds nothing except the mark of its charset
// is an empty text in that charset.
//
// Binary: a text never ends early. A file whose text would hold a zero
// character (a zero byte in GBK, UTF-8 or Big5; a zero code unit in UTF-16)
// is binary: its text is empty and a batch run skips it.
//
// Writing converts the text into the charset and, when asked to, puts the
// charset's byte-order mark in front (UTF-8 and both UTF-16 charsets; Big5
// has none). A text holding a character that the charset cannot hold is not
// written at all: the result names the first such character and its line.
// Every write is atomic (fswrap/whole_file.h): the file is the old content
// or the new one, never a part.
//
// Failures are values: a file that cannot be read gives an empty text and
// its status; a write says whether it worked. A read never changes the file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "batch/charset.h"
#include "fswrap/whole_file.h"

namespace lcr {

// A text and the charset it was read in.
struct DecodedText {
    std::u16string text;
    TextCharset charset = TextCharset::Gbk;  // Gbk to Big5Hkscs, never Detect
    bool hasMark = false;                    // the bytes started with the charset's byte-order mark
    bool binary = false;                     // zero bytes that are no UTF-16: the text is empty
    // Writing the text back in the charset (with the mark as found) gives
    // the bytes again. False when bytes that do not decode were taken as
    // U+FFFD, or a Big5 code has no way back; a batch replace must then not
    // write the text, since it would change more than its replacements.
    bool exact = true;
};

struct TextFileContent : DecodedText {
    // Unless Ok, the text is empty and the charset is Detect.
    FileStatus status = FileStatus::CannotOpen;
};

// The rules of reading above, on a file's bytes in memory.
DecodedText decodeFileBytes(std::string_view bytes, TextCharset requested);

// A character of a text that a charset cannot hold.
struct UnrepresentableCharacter {
    char32_t character = 0;
    std::size_t line = 1;  // from 1; a line ends at LF, CR LF or a lone CR
};

struct EncodedText {
    std::string bytes;  // empty when `unrepresentable` is set
    std::optional<UnrepresentableCharacter> unrepresentable;
};

// The bytes a file of `text` in `charset` holds: the mark (when `withMark`
// and the charset has one) and the converted text. Detect and Gbk give the
// text's GB18030 bytes.
EncodedText encodeFileBytes(std::u16string_view text, TextCharset charset, bool withMark = true);

// Reads the whole file and decodes it as decodeFileBytes does.
TextFileContent ReadTextFile(const std::filesystem::path& path, TextCharset requested);

struct TextWriteResult {
    FileStatus status = FileStatus::Ok;
    // Set (and nothing written) when the charset cannot hold the text.
    std::optional<UnrepresentableCharacter> unrepresentable;
    bool ok() const { return status == FileStatus::Ok && !unrepresentable; }
};

// Writes encodeFileBytes(text, charset, withMark) to the file atomically. A
// path that names a folder, device, pipe or socket is left alone (NotAFile).
TextWriteResult WriteTextFile(const std::filesystem::path& path, std::u16string_view text,
                              TextCharset charset, bool withMark = true);

}  // namespace lcr
