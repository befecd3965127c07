#include "regex/newline_corrector.h"

namespace lcr {

bool NewlineCorrector::compile() {
    return m_expression.compile(u"\\r(?!\\n)|(?<!\\r)\\n", 0);
}

namespace {

bool hasLoneLineBreak(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 >= text.size() || text[i + 1] != u'\n') {
                return true;
            }
            ++i;
        } else if (text[i] == u'\n') {
            return true;
        }
    }
    return false;
}

}  // namespace

std::u16string NewlineCorrector::correct(std::u16string_view text) const {
    // Most texts hold only CR LF pairs, for which the replace changes
    // nothing; a plain scan finds that out many times faster than the
    // engine's walk over every line break.
    if (!hasLoneLineBreak(text)) {
        return std::u16string(text);
    }
    return m_expression.replace(text, u"\r\n");
}

NewlineCorrector& processNewlineCorrector() {
    static NewlineCorrector corrector = [] {
        NewlineCorrector c;
        c.compile();
        return c;
    }();
    return corrector;
}

std::u16string correctNewlines(std::u16string_view text) {
    return processNewlineCorrector().correct(text);
}

}  // namespace lcr
