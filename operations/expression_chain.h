// The expression chain and the option mapping shared by extraction,
// replacement, the batch runs and the command-line tool.
//
// A chain is a text of expressions separated by "<#lc#>"; it splits by the
// program's split rule: "a<#lc#>b" gives a, b; "a<#lc#><#lc#>b" gives a, "",
// b; "<#lc#>a" gives "", a; "a<#lc#>" gives a; an empty chain nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "regex/deelx_regex_object.h"

namespace lcr {

inline constexpr std::u16string_view kChainSeparator = u"<#lc#>";

// The options of the option check boxes.
struct MatchOptions {
    bool ignoreCase = false;       // 无大小写
    bool multiline = false;        // 多行
    bool singleLine = false;       // 单行
    bool extended = false;         // 扩展
    bool replaceAll = false;       // 替换全部
    bool correctNewlines = false;  // 矫正换行
};

std::vector<std::u16string> splitChain(std::u16string_view chain);

// Compiles `pattern` into `re` with the options mapped onto create: global
// and right to left are never given. Returns whether it compiled.
bool createWithOptions(DeelxRegexObject& re, std::u16string_view pattern,
                       const MatchOptions& options);

// The engine's option bits (regex/engine.h) of the same mapping: what an
// expression is compiled with, for those who explain it.
int engineOptionBits(const MatchOptions& options);

// The source text as the operations see it: line breaks corrected when
// 矫正换行 is on.
std::u16string prepareSource(std::u16string_view text, const MatchOptions& options);

// An extraction drops every trailing "|" of a piece: an empty alternative at
// the end would match the empty string at the very start and end the search
// with no matches at all. A piece of nothing but "|" becomes empty.
std::u16string_view withoutTrailingBars(std::u16string_view piece);

}  // namespace lcr
