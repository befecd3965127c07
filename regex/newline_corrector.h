// Line-break correction: every lone CR and every lone LF becomes CR LF.
#pragma once

#include <string>
#include <string_view>

#include "regex/engine.h"

namespace lcr {

// The engine expression "\r(?!\n)|(?<!\r)\n", compiled without option bits,
// replaced by CR LF everywhere. Existing CR LF pairs are left alone:
//   a CR b LF c CR LF d -> a CR LF b CR LF c CR LF d;  LF CR -> CR LF CR LF.
class NewlineCorrector {
public:
    // Compiles the expression; true when it compiled.
    bool compile();
    bool isCompiled() const { return m_expression.isCompiled(); }
    // The corrected text; the text unchanged while nothing is compiled.
    std::u16string correct(std::u16string_view text) const;

private:
    EngineExpression m_expression;
};

// The program's one corrector, compiled on first use.
NewlineCorrector& processNewlineCorrector();

// processNewlineCorrector().correct(text).
std::u16string correctNewlines(std::u16string_view text);

}  // namespace lcr
