#include "operations/copy_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/gb18030.h"

namespace lcr {
namespace {

struct Row {
    std::size_t number;
    std::u16string match;
    std::vector<std::u16string_view> groups;

    ResultRow view() const { return {number, match, groups}; }
};

std::string copyOf(std::u16string_view format, const std::vector<Row>& rows) {
    return toUtf8(
        copyResultRows(format, rows.size(), [&rows](std::size_t i) { return rows[i].view(); }));
}

TEST(FormatResultRow, Tokens) {
    struct Case {
        std::u16string format;
        Row row;
        std::u16string expected;
    };
    const std::vector<std::u16string_view> twelve = {u"g1", u"g2", u"g3", u"g4",  u"g5",  u"g6",
                                                     u"g7", u"g8", u"g9", u"g10", u"g11", u"g12"};
    const Case cases[] = {
        {u"##. #0 (#1)", {2, u"k=v", {u"v"}}, u"2. k=v (v)"},
        {u"#-1|#0|#1|#2", {7, u"ab", {u"a", u""}}, u"7|ab|a|"},
        // A group beyond the row's groups stays as it is.
        {u"#3", {1, u"m", {}}, u"#3"},
        {u"#1 #2 #3", {1, u"m", {u"x", u"y"}}, u"x y #3"},
        // Digits name the highest group the row has.
        {u"#12", {1, u"m", twelve}, u"g12"},
        {u"#12", {1, u"m", {u"a", u"b", u"c"}}, u"a2"},
        {u"#10", {1, u"m", {u"a", u"b", u"c"}}, u"a0"},
        {u"#05", {1, u"m", {u"a"}}, u"m5"},
        // "##" is the row number; "###" a row number and a "#".
        {u"###", {3, u"m", {}}, u"3#"},
        {u"####", {3, u"m", {}}, u"33"},
        {u"##0", {3, u"m", {}}, u"30"},
        {u"#-12", {3, u"m", {}}, u"32"},
        // Not tokens.
        {u"# #- #-2 #a 文#", {1, u"m", {}}, u"# #- #-2 #a 文#"},
        {u"行一\r\n#0\r\n", {1, u"中文", {}}, u"行一\r\n中文\r\n"},
        {u"", {1, u"m", {u"g"}}, u""},
        {u"#0#0", {1, u"ab", {}}, u"abab"},
        // Cell texts go in as they are, never read as tokens: a match text
        // holding "#-1" or "#0" is copied unchanged.
        {u"#0", {5, u"x#-1y", {}}, u"x#-1y"},
        {u"#1 #0", {5, u"#0a0", {u"#0a0"}}, u"#0a0 #0a0"},
        {u"#-#1"
         u"1",
         {5, u"m", {u""}},
         u"#-1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf8(formatResultRow(c.row.view(), c.format)), toUtf8(c.expected))
            << "format \"" << toUtf8(c.format) << "\"";
    }
}

// The format's tokens as the running replacement describes them: "##" to
// "#-1", then every group token from the highest down to "#1", then "#0",
// then "#-1", each replaced everywhere in the text so far.
std::u16string replaceAll(std::u16string s, std::u16string_view token, std::u16string_view by) {
    for (std::size_t at = s.find(token); at != std::u16string::npos;
         at = s.find(token, at + by.size())) {
        s.replace(at, token.size(), by);
    }
    return s;
}

std::u16string runningReplacement(std::u16string format, const ResultRow& row) {
    auto number = [](std::size_t n) {
        const std::string digits = std::to_string(n);
        return std::u16string(digits.begin(), digits.end());
    };
    format = replaceAll(format, u"##", u"#-1");
    for (std::size_t g = row.groupTexts.size(); g >= 1; --g) {
        format = replaceAll(format, u"#" + number(g), row.groupTexts[g - 1]);
    }
    format = replaceAll(format, u"#0", row.matchText);
    return replaceAll(format, u"#-1", number(row.number));
}

// On cell texts that cannot form tokens with the format around them, the
// one-pass layout agrees with the running replacement on every format.
TEST(FormatResultRow, AgreesWithRunningReplacementOnEveryShortFormat) {
    const std::u16string alphabet = u"#-012x";
    const std::vector<std::u16string_view> cells = {u"A", u"BB", u"C", u"D", u"E", u"F",
                                                    u"G", u"H",  u"I", u"J", u"K", u"L"};
    std::vector<std::u16string> formats = {u""};
    for (std::size_t begin = 0, length = 0; length < 5; ++length) {
        const std::size_t end = formats.size();
        for (std::size_t i = begin; i < end; ++i) {
            for (char16_t c : alphabet) {
                formats.push_back(formats[i] + c);
            }
        }
        begin = end;
    }
    for (std::size_t groups : {0, 1, 2, 12}) {
        const ResultRow row{12, u"M", std::span(cells).first(groups)};
        for (const std::u16string& format : formats) {
            ASSERT_EQ(toUtf8(formatResultRow(row, format)), toUtf8(runningReplacement(format, row)))
                << "format \"" << toUtf8(format) << "\", " << groups << " groups";
        }
    }
}

TEST(CopyResultRows, JoinsLinesWithCrLf) {
    const std::vector<Row> twoRows = {{1, u"ab", {}}, {2, u"cd", {}}};
    EXPECT_EQ(copyOf(u"#0", twoRows), "ab\r\ncd");
    EXPECT_EQ(copyOf(u"#3", twoRows), "#3\r\n#3");
    EXPECT_EQ(copyOf(u"#0", {}), "");
    // An empty format makes every line empty, and so the whole copy.
    EXPECT_EQ(copyOf(u"", twoRows), "");
    // Leading empty lines leave no separators; later ones do.
    const std::vector<Row> sparse = {
        {1, u"a", {u""}}, {2, u"b", {u"x"}}, {3, u"c", {u""}}, {4, u"d", {u"y"}}};
    EXPECT_EQ(copyOf(u"#1", sparse), "x\r\n\r\ny");
}

}  // namespace
}  // namespace lcr
