// Chinese texts for the reasons a pattern does not compile.
#pragma once

#include <string>
#include <string_view>

namespace lcr {

// The Chinese description of a compile error code (a PCRE2 error number or
// one of the engine's own, engine.h). For a code without a text of its own
// the result is a general one that quotes `engineMessage`.
std::u16string compileErrorText(int code, std::u16string_view engineMessage = {});

}  // namespace lcr
