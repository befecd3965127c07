// The extraction logic: a chain of expressions over one source text, every
// match with the text of each of its capture groups.
//
//   ExtractionResult r = extractChain(text, u"(\\d+)<#lc#>[a-z]+", options);
//   for (const ExpressionMatches& e : r.expressions)
//       for (int k = 1; k <= e.matchCount(); ++k)
//           row(k, e.matchText(k), e.groupText(k, 1), ...);
//
// The window runs the same steps one expression at a time (it reads the
// options afresh before each expression and lets events run between rows);
// the batch runs and the command-line tool call extractChain.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "operations/expression_chain.h"
#include "regex/deelx_regex_object.h"

namespace lcr {

// The matches of one expression of the chain.
struct ExpressionMatches {
    std::u16string expression;                      // the piece as run (trailing "|" removed)
    std::size_t pieceIndex = 0;                     // its place in the chain, from 0
    std::shared_ptr<const DeelxRegexObject> regex;  // compiled, searched

    int matchCount() const { return regex->matchCount(); }
    int groupCount() const { return regex->subMatchCount(); }
    // k from 1; group from 1; views into the searched text.
    std::u16string_view matchText(int k) const { return groupText(k, 0); }
    std::u16string_view groupText(int k, int group) const {
        return regex->matches().groupText(regex->searchedText(), static_cast<std::size_t>(k - 1),
                                          group);
    }
    const std::optional<CompileError>& compileError() const { return regex->compileError(); }
    bool incomplete() const { return regex->lastRunIncomplete(); }
    // Whether the search's time budget ran out (else an incomplete search
    // met the backtracking limits at some start positions).
    bool timedOut() const { return regex->matches().timedOut(); }
};

// The pieces of a chain that an extraction runs: trailing "|" removed,
// empty pieces skipped. Each keeps its index in the chain.
struct ExtractionPiece {
    std::u16string expression;
    std::size_t pieceIndex;
};
std::vector<ExtractionPiece> extractionPieces(std::u16string_view chain);

// Compiles one piece with the options and collects its matches in the
// (already prepared) source.
ExpressionMatches extractOne(const ExtractionPiece& piece,
                             const std::shared_ptr<const std::u16string>& source,
                             const MatchOptions& options);

struct ExtractionResult {
    std::vector<ExpressionMatches> expressions;  // one per non-empty piece
    int totalMatches() const;
    // The first piece that did not compile, if any.
    const ExpressionMatches* firstCompileFailure() const;
    bool anyIncomplete() const;
};

// The text is taken by value: move a large text in to spare a copy.
ExtractionResult extractChain(std::u16string text, std::u16string_view chain,
                              const MatchOptions& options);

}  // namespace lcr
