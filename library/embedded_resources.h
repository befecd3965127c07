// The raw bytes of the built-in texts, generated from resources/ at build
// time (embed_resources.cmake). UTF-8, LF line breaks. Used only inside
// library/; everyone else reads them through builtin_texts.h.
#pragma once

#include <string_view>

namespace lcr::embedded {

std::string_view builtinExpressionsBytes();
std::string_view defaultUserExpressionsBytes();
std::string_view syntaxTableBytes();
std::string_view explanationTableBytes();

}  // namespace lcr::embedded
