#include "config/document_bytes.h"

namespace lcr::document_bytes {

namespace {

bool inRange(unsigned char b, unsigned char low, unsigned char high) {
    return b >= low && b <= high;
}

unsigned char byteAt(std::string_view doc, std::size_t pos) {
    return static_cast<unsigned char>(doc[pos]);
}

// The start of the character that holds `pos`, or the first character start
// after it when `pos` lies inside a character.
std::size_t charStartAtOrAfter(std::string_view doc, std::size_t pos) {
    std::size_t start = pos;
    while (start > 0 && doc[start - 1] != '\r' && doc[start - 1] != '\n') {
        --start;
    }
    while (start < pos) {
        start += charLength(doc, start);
    }
    return start;
}

}  // namespace

std::size_t charLength(std::string_view doc, std::size_t pos) {
    const unsigned char lead = byteAt(doc, pos);
    if (!inRange(lead, 0x81, 0xFE) || pos + 1 >= doc.size()) {
        return 1;
    }
    const unsigned char second = byteAt(doc, pos + 1);
    if (inRange(second, 0x30, 0x39)) {
        if (pos + 3 < doc.size() && inRange(byteAt(doc, pos + 2), 0x81, 0xFE) &&
            inRange(byteAt(doc, pos + 3), 0x30, 0x39)) {
            return 4;
        }
        return 1;
    }
    if (inRange(second, 0x40, 0x7E) || inRange(second, 0x80, 0xFE)) {
        return 2;
    }
    return 1;
}

std::size_t find(std::string_view doc, std::string_view needle, std::size_t from,
                 bool fromIsCharStart) {
    if (from >= doc.size() || needle.size() > doc.size()) {
        return npos;
    }
    std::size_t boundary = fromIsCharStart ? from : charStartAtOrAfter(doc, from);
    std::size_t candidate = boundary;
    while (true) {
        candidate = doc.find(needle, candidate);
        if (candidate == npos) {
            return npos;
        }
        while (boundary < candidate) {
            boundary += charLength(doc, boundary);
        }
        if (boundary == candidate) {
            return candidate;
        }
        // The candidate begins inside a character.
        candidate = boundary;
    }
}

}  // namespace lcr::document_bytes
