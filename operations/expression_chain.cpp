#include "operations/expression_chain.h"

#include "regex/engine.h"
#include "regex/newline_corrector.h"
#include "text/program_text.h"

namespace lcr {

std::vector<std::u16string> splitChain(std::u16string_view chain) {
    return splitText(chain, kChainSeparator);
}

bool createWithOptions(DeelxRegexObject& re, std::u16string_view pattern,
                       const MatchOptions& options) {
    return re.create(pattern, options.ignoreCase, options.multiline, options.replaceAll,
                     options.singleLine, /*global=*/false, options.extended,
                     /*rightToLeft=*/false);
}

int engineOptionBits(const MatchOptions& options) {
    // As createWithOptions: global and right to left are never given.
    return (options.ignoreCase ? kIgnoreCase : 0) | (options.multiline ? kMultiline : 0) |
           (options.singleLine ? kSingleLine : 0) | (options.extended ? kExtended : 0);
}

std::u16string prepareSource(std::u16string_view text, const MatchOptions& options) {
    return options.correctNewlines ? correctNewlines(text) : std::u16string(text);
}

std::u16string_view withoutTrailingBars(std::u16string_view piece) {
    while (!piece.empty() && piece.back() == u'|') {
        piece.remove_suffix(1);
    }
    return piece;
}

}  // namespace lcr
