#include "regex/pattern_helpers.h"

namespace lcr {

namespace {

// Escaping every character of a set one after the other, backslash first,
// gives the same text as one pass that escapes each character of the set.
std::u16string escapeSet(std::u16string_view text, std::u16string_view set) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 4);
    for (char16_t c : text) {
        if (set.find(c) != std::u16string_view::npos) {
            out.push_back(u'\\');
        }
        out.push_back(c);
    }
    return out;
}

}  // namespace

std::u16string wildcardToPattern(std::u16string_view filter) {
    const std::u16string escaped = escapeSet(filter, u"\\^$+.{}[]=()-\"");
    std::u16string out;
    out.reserve(escaped.size() + 8);
    for (char16_t c : escaped) {
        if (c == u'*' || c == u'?') {
            out.push_back(u'.');
        }
        out.push_back(c);
    }
    return out;
}

std::u16string escapeAll(std::u16string_view text) {
    return escapeSet(text, u"\\^$+.{}[]=()?*|\"");
}

std::u16string escapeKeepAlternation(std::u16string_view text) {
    return escapeSet(text, u"\\^$+.{}[]=()?*\"");
}

std::u16string escapeKeepGroups(std::u16string_view text) {
    return escapeSet(text, u"\\^$+.{}[]=?*\"");
}

}  // namespace lcr
