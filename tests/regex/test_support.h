// Small helpers shared by the regex tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "regex/engine.h"
#include "text/gb18030.h"

namespace lcr::testing {

// The whole-match texts of matchAll, in order.
inline std::vector<std::u16string> allMatches(const EngineExpression& e, std::u16string_view text) {
    const MatchList list = e.matchAll(text);
    std::vector<std::u16string> out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        out.emplace_back(list.groupText(text, i, 0));
    }
    return out;
}

// Readable form of a list of texts for failure messages: ["ab", "c\r\n"].
inline std::string show(const std::vector<std::u16string>& texts) {
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string t = toUtf8(texts[i]);
        std::string escaped;
        for (char c : t) {
            if (c == '\r')
                escaped += "\\r";
            else if (c == '\n')
                escaped += "\\n";
            else if (c == '\t')
                escaped += "\\t";
            else
                escaped += c;
        }
        out += (i ? ", \"" : "\"") + escaped + "\"";
    }
    return out + "]";
}

}  // namespace lcr::testing
