#include "text/program_text.h"

#include <algorithm>

namespace lcr {

namespace {

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

bool isTrimmedSpace(char16_t c) {
    return c == u' ' || c == u'\u3000';
}

}  // namespace

std::vector<std::u16string> splitText(std::u16string_view text, std::u16string_view separator) {
    std::vector<std::u16string> pieces;
    if (text.empty()) {
        return pieces;
    }
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(separator, pos)) != std::u16string_view::npos;) {
        pieces.emplace_back(text.substr(pos, hit - pos));
        pos = hit + separator.size();
    }
    if (pos < text.size()) {
        pieces.emplace_back(text.substr(pos));
    }
    return pieces;
}

std::pair<std::u16string, std::u16string> splitFirstTwo(std::u16string_view text,
                                                        std::u16string_view separator) {
    std::vector<std::u16string> pieces = splitText(text, separator);
    pieces.resize(std::max<std::size_t>(pieces.size(), 2));
    return {std::move(pieces[0]), std::move(pieces[1])};
}

long long findText(std::u16string_view haystack, std::u16string_view needle, long long start,
                   bool ignoreCase) {
    std::size_t from = start < 1 ? 0 : static_cast<unsigned long long>(start) - 1;
    if (from > haystack.size() || needle.size() > haystack.size() - from) {
        return -1;
    }
    if (!ignoreCase) {
        std::size_t pos = haystack.find(needle, from);
        return pos == std::u16string_view::npos ? -1 : static_cast<long long>(pos) + 1;
    }
    if (needle.empty()) {
        return static_cast<long long>(from) + 1;
    }
    auto sameFolded = [](char16_t a, char16_t b) { return foldAscii(a) == foldAscii(b); };
    auto hit = std::search(haystack.begin() + static_cast<std::ptrdiff_t>(from), haystack.end(),
                           needle.begin(), needle.end(), sameFolded);
    return hit == haystack.end() ? -1 : static_cast<long long>(hit - haystack.begin()) + 1;
}

std::u16string trimSpaces(std::u16string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isTrimmedSpace(text[first])) {
        ++first;
    }
    while (last > first && isTrimmedSpace(text[last - 1])) {
        --last;
    }
    return std::u16string(text.substr(first, last - first));
}

std::size_t gbkByteLength(std::u16string_view text) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c < 0x80) {
            length += 1;
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] < 0xE000) {
            length += 4;
            ++i;
        } else {
            length += 2;
        }
    }
    return length;
}

}  // namespace lcr
