#include "regex/compile_error_text.h"

#include <array>
#include <utility>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "regex/engine.h"

namespace lcr {

namespace {

constexpr std::array<std::pair<int, const char16_t*>, 38> kTexts{{
    {kErrorEmptyPattern, u"表达式为空"},
    {kErrorRightToLeft, u"本程序的引擎不支持从右向左匹配（RightToLeft）"},
    {PCRE2_ERROR_END_BACKSLASH, u"表达式末尾的反斜杠 \\ 后缺少字符"},
    {PCRE2_ERROR_END_BACKSLASH_C, u"表达式末尾的 \\c 后缺少字符"},
    {PCRE2_ERROR_UNKNOWN_ESCAPE, u"无法识别的转义序列：\\ 后面的字符没有转义含义"},
    {PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER, u"量词 {} 中的数字顺序颠倒"},
    {PCRE2_ERROR_QUANTIFIER_TOO_BIG, u"量词 {} 中的数字太大"},
    {PCRE2_ERROR_MISSING_SQUARE_BRACKET, u"字符集缺少结束的 ]"},
    {PCRE2_ERROR_ESCAPE_INVALID_IN_CLASS, u"字符集 [] 中不能使用这个转义序列"},
    {PCRE2_ERROR_CLASS_RANGE_ORDER, u"字符集中的范围顺序颠倒（如 [z-a]）"},
    {PCRE2_ERROR_QUANTIFIER_INVALID, u"量词前面没有可以重复的内容"},
    {PCRE2_ERROR_INVALID_AFTER_PARENS_QUERY, u"(? 或 (?- 后面是无法识别的字符"},
    {PCRE2_ERROR_POSIX_CLASS_NOT_IN_CLASS, u"POSIX 字符类只能写在字符集 [] 之内"},
    {PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS, u"缺少右括号 )"},
    {PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE, u"引用了不存在的分组"},
    {PCRE2_ERROR_MISSING_COMMENT_CLOSING, u"注释 (?# 缺少结束的 )"},
    {PCRE2_ERROR_PARENTHESES_NEST_TOO_DEEP, u"括号嵌套太深"},
    {PCRE2_ERROR_PATTERN_TOO_LARGE, u"表达式太大"},
    {PCRE2_ERROR_HEAP_FAILED, u"内存不足"},
    {PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS, u"多余的右括号 )"},
    {PCRE2_ERROR_MISSING_CONDITION_CLOSING, u"条件 (?( 缺少结束的 )"},
    {PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH,
     u"本程序的引擎不支持不定长度的反向预搜索：(?<=…) 和 (?<!…) 中的内容长度必须固定"},
    {PCRE2_ERROR_TOO_MANY_CONDITION_BRANCHES, u"条件分组 (?(…)是|否) 中的分支多于两个"},
    {PCRE2_ERROR_CONDITION_ASSERTION_EXPECTED, u"(?( 后面应当是分组号、分组名或预搜索"},
    {PCRE2_ERROR_UNKNOWN_POSIX_CLASS, u"未知的 POSIX 字符类名"},
    {PCRE2_ERROR_CODE_POINT_TOO_BIG, u"\\x{} 中的字符编码太大"},
    {PCRE2_ERROR_LOOKBEHIND_TOO_COMPLICATED, u"反向预搜索太复杂"},
    {PCRE2_ERROR_UNSUPPORTED_ESCAPE_SEQUENCE, u"不支持的转义序列（\\u 后面须是四位十六进制数）"},
    {PCRE2_ERROR_MISSING_NAME_TERMINATOR, u"分组名写法有误（缺少结束符？）"},
    {PCRE2_ERROR_DUPLICATE_SUBPATTERN_NAME, u"两个分组使用了相同的名字"},
    {PCRE2_ERROR_INVALID_SUBPATTERN_NAME, u"分组名不能以数字开头"},
    {PCRE2_ERROR_SUBPATTERN_NAME_TOO_LONG, u"分组名太长（最多 32 个字符）"},
    {PCRE2_ERROR_CLASS_INVALID_RANGE, u"字符集中的范围无效"},
    {PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED, u"缺少分组名"},
    {PCRE2_ERROR_BACKSLASH_K_SYNTAX, u"\\k 后面应当是 <分组名>"},
    {PCRE2_ERROR_LOOKBEHIND_TOO_LONG, u"反向预搜索的内容太长"},
    {PCRE2_ERROR_PATTERN_TOO_COMPLICATED, u"表达式太复杂"},
    {PCRE2_ERROR_TOO_MANY_CAPTURES, u"分组太多（最多 65535 个）"},
}};

}  // namespace

std::u16string compileErrorText(int code, std::u16string_view engineMessage) {
    for (const auto& [known, text] : kTexts) {
        if (known == code) {
            return text;
        }
    }
    std::u16string text = u"表达式有误";
    if (!engineMessage.empty()) {
        text += u"：";
        text += engineMessage;
    }
    return text;
}

}  // namespace lcr
