// The built-in texts of the expression library and the syntax help.
//
// They live in resources/ as UTF-8 files with one line per entry and are
// compiled into the program, so they are there without Qt and without any
// file beside the program. Each accessor gives the text as the program uses
// it: UTF-16, lines joined by CR LF, no CR LF after the last line.
#pragma once

#include <string>

namespace lcr {

// The built-in expression list: CR LF, then its 37 lines (five section
// headers such as "【网页】" and 32 "name::expression" entries).
std::u16string builtinExpressionListText();

// The 20 lines written as "自定义正则.txt" when that file is missing.
std::u16string defaultUserFileText();

// The syntax table: 63 "token::description" lines.
std::u16string syntaxTableText();

}  // namespace lcr
