#include "operations/extraction.h"

namespace lcr {

std::vector<ExtractionPiece> extractionPieces(std::u16string_view chain) {
    std::vector<ExtractionPiece> pieces;
    const std::vector<std::u16string> split = splitChain(chain);
    for (std::size_t i = 0; i < split.size(); ++i) {
        const std::u16string_view expression = withoutTrailingBars(split[i]);
        if (!expression.empty()) {
            pieces.push_back({std::u16string(expression), i});
        }
    }
    return pieces;
}

ExpressionMatches extractOne(const ExtractionPiece& piece,
                             const std::shared_ptr<const std::u16string>& source,
                             const MatchOptions& options) {
    auto regex = std::make_shared<DeelxRegexObject>();
    createWithOptions(*regex, piece.expression, options);
    regex->searchAll(source);
    return {piece.expression, piece.pieceIndex, std::move(regex)};
}

int ExtractionResult::totalMatches() const {
    int total = 0;
    for (const ExpressionMatches& e : expressions) {
        total += e.matchCount();
    }
    return total;
}

const ExpressionMatches* ExtractionResult::firstCompileFailure() const {
    for (const ExpressionMatches& e : expressions) {
        if (e.compileError()) {
            return &e;
        }
    }
    return nullptr;
}

bool ExtractionResult::anyIncomplete() const {
    for (const ExpressionMatches& e : expressions) {
        if (e.incomplete()) {
            return true;
        }
    }
    return false;
}

ExtractionResult extractChain(std::u16string text, std::u16string_view chain,
                              const MatchOptions& options) {
    ExtractionResult result;
    const auto source = std::make_shared<const std::u16string>(
        options.correctNewlines ? prepareSource(text, options) : std::move(text));
    for (const ExtractionPiece& piece : extractionPieces(chain)) {
        result.expressions.push_back(extractOne(piece, source, options));
    }
    return result;
}

}  // namespace lcr
