#include "regex/compile_error_text.h"

#include <array>
#include <string>
#include <utility>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "regex/engine.h"

namespace lcr {

namespace {

// Every compile error PCRE2 10.42 can give, and the engine's own.
constexpr std::array<std::pair<int, const char16_t*>, 109> kTexts{{
    {kErrorEmptyPattern, u"表达式为空"},
    {kErrorRightToLeft, u"本程序的引擎不支持从右向左匹配（RightToLeft）"},
    {kErrorLookbehindCapture,
     u"不定长度的反向预搜索 (?<=…) 或 (?<!…) 中不能有捕获分组，请改用 (?:…)"},
    {kErrorLookbehindUnsupported,
     u"不定长度的反向预搜索中不能使用反向引用、正向预搜索、递归、条件分组或 \\G"},
    {kErrorLoneSurrogate, u"\\u 写出的是单独的代理项（半个字符），它不能匹配任何字符"},
    {kErrorBranchReset, u"不支持分支重置分组 (?|…)"},
    {kErrorUnknownInlineOption, u"无法识别的内联选项：只能使用 i、m、s、x、g、n 和 -"},
    {kErrorTooManyLookbehinds, u"不定长度的反向预搜索太多（最多 255 个）"},
    {kErrorNoSuchGroup, u"递归引用了不存在的分组"},
    {kErrorCallout, u"不支持标注 (?C…)"},
    {PCRE2_ERROR_END_BACKSLASH, u"表达式末尾的反斜杠 \\ 后缺少字符"},
    {PCRE2_ERROR_END_BACKSLASH_C, u"表达式末尾的 \\c 后缺少字符"},
    {PCRE2_ERROR_UNKNOWN_ESCAPE, u"无法识别的转义序列：\\ 后面的字符没有转义含义"},
    {PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER, u"量词 {} 中的数字顺序颠倒"},
    {PCRE2_ERROR_QUANTIFIER_TOO_BIG, u"量词 {} 中的数字太大"},
    {PCRE2_ERROR_MISSING_SQUARE_BRACKET, u"字符集缺少结束的 ]"},
    {PCRE2_ERROR_ESCAPE_INVALID_IN_CLASS, u"字符集 [] 中不能使用这个转义序列"},
    {PCRE2_ERROR_CLASS_RANGE_ORDER, u"字符集中的范围顺序颠倒（如 [z-a]）"},
    {PCRE2_ERROR_QUANTIFIER_INVALID, u"量词前面没有可以重复的内容"},
    {PCRE2_ERROR_INTERNAL_UNEXPECTED_REPEAT, u"引擎内部错误：意外的重复"},
    {PCRE2_ERROR_INVALID_AFTER_PARENS_QUERY, u"(? 或 (?- 后面是无法识别的字符"},
    {PCRE2_ERROR_POSIX_CLASS_NOT_IN_CLASS, u"POSIX 字符类只能写在字符集 [] 之内"},
    {PCRE2_ERROR_POSIX_NO_SUPPORT_COLLATING, u"不支持 POSIX 排序元素 [. .] 和 [= =]"},
    {PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS, u"缺少右括号 )"},
    {PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE, u"引用了不存在的分组"},
    {PCRE2_ERROR_NULL_PATTERN, u"表达式为空"},
    {PCRE2_ERROR_BAD_OPTIONS, u"引擎内部错误：选项无效"},
    {PCRE2_ERROR_MISSING_COMMENT_CLOSING, u"注释 (?# 缺少结束的 )"},
    {PCRE2_ERROR_PARENTHESES_NEST_TOO_DEEP, u"括号嵌套太深"},
    {PCRE2_ERROR_PATTERN_TOO_LARGE, u"表达式太大"},
    {PCRE2_ERROR_HEAP_FAILED, u"内存不足"},
    {PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS, u"多余的右括号 )"},
    {PCRE2_ERROR_INTERNAL_CODE_OVERFLOW, u"引擎内部错误：编译结果溢出"},
    {PCRE2_ERROR_MISSING_CONDITION_CLOSING, u"条件 (?( 缺少结束的 )"},
    {PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH, u"反向预搜索 (?<=…) 和 (?<!…) 中的内容长度不固定"},
    {PCRE2_ERROR_ZERO_RELATIVE_REFERENCE, u"相对分组引用不能是 0"},
    {PCRE2_ERROR_TOO_MANY_CONDITION_BRANCHES, u"条件分组 (?(…)是|否) 中的分支多于两个"},
    {PCRE2_ERROR_CONDITION_ASSERTION_EXPECTED, u"(?( 后面应当是分组号、分组名或预搜索"},
    {PCRE2_ERROR_BAD_RELATIVE_REFERENCE, u"相对分组引用写法有误"},
    {PCRE2_ERROR_UNKNOWN_POSIX_CLASS, u"未知的 POSIX 字符类名"},
    {PCRE2_ERROR_INTERNAL_STUDY_ERROR, u"引擎内部错误：分析表达式失败"},
    {PCRE2_ERROR_UNICODE_NOT_SUPPORTED, u"引擎不支持 Unicode"},
    {PCRE2_ERROR_PARENTHESES_STACK_CHECK, u"括号嵌套太深"},
    {PCRE2_ERROR_CODE_POINT_TOO_BIG, u"\\x{} 中的字符编码太大"},
    {PCRE2_ERROR_LOOKBEHIND_TOO_COMPLICATED, u"反向预搜索太复杂"},
    {PCRE2_ERROR_LOOKBEHIND_INVALID_BACKSLASH_C, u"反向预搜索中不能使用 \\C"},
    {PCRE2_ERROR_UNSUPPORTED_ESCAPE_SEQUENCE, u"不支持的转义序列（\\u 后面须是四位十六进制数）"},
    {PCRE2_ERROR_CALLOUT_NUMBER_TOO_BIG, u"标注编号太大"},
    {PCRE2_ERROR_MISSING_CALLOUT_CLOSING, u"标注 (?C 缺少结束的 )"},
    {PCRE2_ERROR_ESCAPE_INVALID_IN_VERB, u"控制动词 (*…) 中不能使用转义序列"},
    {PCRE2_ERROR_UNRECOGNIZED_AFTER_QUERY_P, u"(?P 后面是无法识别的字符"},
    {PCRE2_ERROR_MISSING_NAME_TERMINATOR, u"分组名写法有误（缺少结束符？）"},
    {PCRE2_ERROR_DUPLICATE_SUBPATTERN_NAME, u"两个分组使用了相同的名字"},
    {PCRE2_ERROR_INVALID_SUBPATTERN_NAME, u"分组名不能以数字开头"},
    {PCRE2_ERROR_UNICODE_PROPERTIES_UNAVAILABLE, u"引擎不支持 Unicode 属性"},
    {PCRE2_ERROR_MALFORMED_UNICODE_PROPERTY, u"\\p 或 \\P 后面的 Unicode 属性写法有误"},
    {PCRE2_ERROR_UNKNOWN_UNICODE_PROPERTY, u"未知的 Unicode 属性名"},
    {PCRE2_ERROR_SUBPATTERN_NAME_TOO_LONG, u"分组名太长（最多 32 个字符）"},
    {PCRE2_ERROR_TOO_MANY_NAMED_SUBPATTERNS, u"命名分组太多"},
    {PCRE2_ERROR_CLASS_INVALID_RANGE, u"字符集中的范围无效"},
    {PCRE2_ERROR_OCTAL_BYTE_TOO_BIG, u"八进制数太大"},
    {PCRE2_ERROR_INTERNAL_OVERRAN_WORKSPACE, u"引擎内部错误：工作区溢出"},
    {PCRE2_ERROR_INTERNAL_MISSING_SUBPATTERN, u"引擎内部错误：找不到分组"},
    {PCRE2_ERROR_DEFINE_TOO_MANY_BRANCHES, u"(?(DEFINE)…) 中只能有一个分支"},
    {PCRE2_ERROR_BACKSLASH_O_MISSING_BRACE, u"\\o 后面应当是 {八进制数}"},
    {PCRE2_ERROR_INTERNAL_UNKNOWN_NEWLINE, u"引擎内部错误：未知的换行方式"},
    {PCRE2_ERROR_BACKSLASH_G_SYNTAX, u"\\g 后面应当是 <分组名>、<分组号> 或 {分组号}"},
    {PCRE2_ERROR_PARENS_QUERY_R_MISSING_CLOSING, u"递归 (?R 后面应当是 )、分组号或 <分组名>"},
    {PCRE2_ERROR_VERB_ARGUMENT_NOT_ALLOWED, u"这个控制动词 (*…) 不能带参数"},
    {PCRE2_ERROR_VERB_UNKNOWN, u"未知的控制动词 (*…)"},
    {PCRE2_ERROR_SUBPATTERN_NUMBER_TOO_BIG, u"分组号太大"},
    {PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED, u"缺少分组名"},
    {PCRE2_ERROR_INTERNAL_PARSED_OVERFLOW, u"引擎内部错误：解析结果溢出"},
    {PCRE2_ERROR_INVALID_OCTAL, u"八进制数中有无效的数字"},
    {PCRE2_ERROR_SUBPATTERN_NAMES_MISMATCH, u"同号分组的名字不一致"},
    {PCRE2_ERROR_MARK_MISSING_ARGUMENT, u"(*MARK) 缺少名字"},
    {PCRE2_ERROR_INVALID_HEXADECIMAL, u"十六进制数中有无效的数字"},
    {PCRE2_ERROR_BACKSLASH_C_SYNTAX, u"\\c 后面应当是一个 ASCII 字符"},
    {PCRE2_ERROR_BACKSLASH_K_SYNTAX, u"\\k 后面应当是 <分组名> 或 '分组名'"},
    {PCRE2_ERROR_INTERNAL_BAD_CODE_LOOKBEHINDS, u"引擎内部错误：反向预搜索"},
    {PCRE2_ERROR_BACKSLASH_N_IN_CLASS, u"字符集 [] 中不能使用 \\N"},
    {PCRE2_ERROR_CALLOUT_STRING_TOO_LONG, u"标注字符串太长"},
    {PCRE2_ERROR_UNICODE_DISALLOWED_CODE_POINT,
     u"这个字符编码不是有效的 Unicode 字符（如单独的代理项）"},
    {PCRE2_ERROR_UTF_IS_DISABLED, u"引擎内部错误：UTF 被禁用"},
    {PCRE2_ERROR_UCP_IS_DISABLED, u"引擎内部错误：UCP 被禁用"},
    {PCRE2_ERROR_VERB_NAME_TOO_LONG, u"控制动词的名字太长"},
    {PCRE2_ERROR_BACKSLASH_U_CODE_POINT_TOO_BIG, u"\\u 中的字符编码太大"},
    {PCRE2_ERROR_MISSING_OCTAL_OR_HEX_DIGITS, u"缺少八进制或十六进制数字"},
    {PCRE2_ERROR_VERSION_CONDITION_SYNTAX, u"(?(VERSION…) 条件写法有误"},
    {PCRE2_ERROR_INTERNAL_BAD_CODE_AUTO_POSSESS, u"引擎内部错误：自动占有化"},
    {PCRE2_ERROR_CALLOUT_NO_STRING_DELIMITER, u"标注字符串缺少结束符"},
    {PCRE2_ERROR_CALLOUT_BAD_STRING_DELIMITER, u"标注字符串的分隔符无效"},
    {PCRE2_ERROR_BACKSLASH_C_CALLER_DISABLED, u"不能使用 \\C"},
    {PCRE2_ERROR_QUERY_BARJX_NEST_TOO_DEEP, u"(?| 或 (?J 嵌套太深"},
    {PCRE2_ERROR_BACKSLASH_C_LIBRARY_DISABLED, u"不能使用 \\C"},
    {PCRE2_ERROR_PATTERN_TOO_COMPLICATED, u"表达式太复杂"},
    {PCRE2_ERROR_LOOKBEHIND_TOO_LONG, u"反向预搜索的内容太长"},
    {PCRE2_ERROR_PATTERN_STRING_TOO_LONG, u"表达式太长"},
    {PCRE2_ERROR_INTERNAL_BAD_CODE, u"引擎内部错误：编译结果无效"},
    {PCRE2_ERROR_INTERNAL_BAD_CODE_IN_SKIP, u"引擎内部错误：编译结果无效"},
    {PCRE2_ERROR_NO_SURROGATES_IN_UTF16, u"引擎内部错误：不支持代理项"},
    {PCRE2_ERROR_BAD_LITERAL_OPTIONS, u"引擎内部错误：选项无效"},
    {PCRE2_ERROR_SUPPORTED_ONLY_IN_UNICODE, u"这种写法只在 Unicode 模式下可用"},
    {PCRE2_ERROR_INVALID_HYPHEN_IN_OPTIONS, u"内联选项中的 - 位置不对"},
    {PCRE2_ERROR_ALPHA_ASSERTION_UNKNOWN, u"未知的断言 (*…)"},
    {PCRE2_ERROR_SCRIPT_RUN_NOT_AVAILABLE, u"引擎不支持 script run"},
    {PCRE2_ERROR_TOO_MANY_CAPTURES, u"分组太多（最多 65535 个）"},
    {PCRE2_ERROR_CONDITION_ATOMIC_ASSERTION_EXPECTED, u"(?( 后面应当是非原子的断言"},
    {PCRE2_ERROR_BACKSLASH_K_IN_LOOKAROUND, u"预搜索中不能使用 \\K"},
}};

}  // namespace

std::u16string compileErrorText(int code, std::u16string_view engineMessage) {
    for (const auto& [known, text] : kTexts) {
        if (known == code) {
            return text;
        }
    }
    // A code newer than this table: still said in Chinese, with the
    // engine's number so that it can be looked up.
    (void)engineMessage;
    std::u16string text = u"表达式有误（引擎错误 ";
    for (char c : std::to_string(code)) {
        text.push_back(static_cast<char16_t>(c));
    }
    return text + u"）";
}

}  // namespace lcr
