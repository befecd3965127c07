#include "regex/newline_corrector.h"

namespace lcr {

bool NewlineCorrector::compile() {
    return m_expression.compile(u"\\r(?!\\n)|(?<!\\r)\\n", 0);
}

std::u16string NewlineCorrector::correct(std::u16string_view text) const {
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
