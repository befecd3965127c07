// Every example of the two tutorials and of the syntax help, run through the
// engine as the window runs it, so a wrong example fails the build instead of
// misleading a reader.
//
// Where the examples are kept:
//   - the tutorial page: on the element that shows the example, as data-*
//     attributes (data-re, data-opt, data-text, ...); the practice text most
//     examples use is the <pre id="practice"> block;
//   - the article and the syntax table: plain texts a reader sees as they
//     are, so their examples are written out in side tables beside them
//     (article_examples.txt, syntax_table_examples.txt), and the test checks
//     that every example stands in the document and every example block of
//     the article has its entry.
//
// The fields, the same in both forms:
//   re       the expression box: one expression or a chain joined by <#lc#>
//   opt      the ticked options: i 无大小写, m 多行, s 单行, x 扩展,
//            a 替换全部, c 矫正换行
//   text     the text box (in the tutorial, the practice text when missing)
//   with     the replacement box; the example is then a replacement
//   result   the replacement's result, or with `format` the copy of the table
//   format   the copy format
//   matches  the extracted matches in order, separated by " ／ "; empty for
//            none
//   g1, g2…  the text of group n of each match, in the same order
//   error    present when the expression does not compile
//   incomplete  present when the search stops at the engine's limits
//   shows    the part of the expression the document writes out, where it
//            shows a construct rather than the whole example
//   words    (side tables) the document describes the text in words
//   block    (article) the entry of one of the article's example blocks
// In text, result, matches and the groups, \r \n \t, \\ and \xHH stand for
// the control characters, the backslash and the character with that code; a
// line break in the value is the text box's CR LF. re and with are taken as
// they stand.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/help_links.h"
#include "library/builtin_texts.h"
#include "library/syntax_help.h"
#include "operations/copy_format.h"
#include "operations/extraction.h"
#include "operations/replacement_chain.h"
#include "text/gb18030.h"
#include "text/program_text.h"

namespace lcr {
namespace {

using Fields = std::map<std::string, std::u16string>;

struct Example {
    std::string where;  // for messages: document and place
    Fields fields;

    bool has(const std::string& name) const { return fields.count(name) != 0; }
    const std::u16string& operator[](const std::string& name) const {
        static const std::u16string none;
        const auto it = fields.find(name);
        return it == fields.end() ? none : it->second;
    }
};

std::string readSourceFile(const std::string& name) {
    std::ifstream in(std::string(LCR_RESOURCES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::u16string replaceAll(std::u16string text, std::u16string_view from, std::u16string_view to) {
    for (std::size_t at = text.find(from); at != std::u16string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// A line break written in a value is the text box's CR LF.
std::u16string withCrLf(std::u16string_view value) {
    return replaceAll(replaceAll(std::u16string(value), u"\r\n", u"\n"), u"\n", u"\r\n");
}

std::u16string unescape(std::u16string_view value) {
    std::u16string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const char16_t next = value[i + 1];
            const char16_t control = next == u'r'    ? u'\r'
                                     : next == u'n'  ? u'\n'
                                     : next == u't'  ? u'\t'
                                     : next == u'v'  ? u'\v'
                                     : next == u'f'  ? u'\f'
                                     : next == u'\\' ? u'\\'
                                                     : 0;
            if (control != 0) {
                out += control;
                ++i;
                continue;
            }
            if (next == u'x' && i + 3 < value.size()) {
                out += char16_t(std::stoi(toUtf8(value.substr(i + 2, 2)), nullptr, 16));
                i += 3;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

std::u16string_view withoutSpaces(std::u16string_view value) {
    const std::size_t first = value.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    return value.substr(first, value.find_last_not_of(u' ') - first + 1);
}

// Items separated by "／", each without the spaces around it (\x20 keeps a
// space that belongs to an item); "a ／" is "a" and an empty item.
std::vector<std::u16string> listOf(std::u16string_view written) {
    const std::u16string value = withCrLf(written);
    if (withoutSpaces(value).empty()) {
        return {};
    }
    std::vector<std::u16string> items;
    std::size_t from = 0;
    for (std::size_t at = value.find(u'／');; at = value.find(u'／', from)) {
        items.push_back(
            unescape(withoutSpaces(std::u16string_view(value).substr(from, at - from))));
        if (at == std::u16string_view::npos) {
            break;
        }
        from = at + 1;
    }
    return items;
}

MatchOptions optionsOf(const Example& example) {
    const std::u16string& letters = example["opt"];
    auto on = [&](char16_t letter) { return letters.find(letter) != std::u16string::npos; };
    MatchOptions options;
    options.ignoreCase = on(u'i');
    options.multiline = on(u'm');
    options.singleLine = on(u's');
    options.extended = on(u'x');
    options.replaceAll = on(u'a');
    options.correctNewlines = on(u'c');
    EXPECT_EQ(letters.find_first_not_of(u"imsxac"), std::u16string::npos)
        << example.where << ": unknown option in " << toUtf8(letters);
    return options;
}

std::string show(const std::vector<std::u16string>& items) {
    std::string out = "[";
    for (const std::u16string& item : items) {
        out += (out.size() > 1 ? " | " : "") +
               toUtf8(replaceAll(replaceAll(item, u"\r", u"\\r"), u"\n", u"\\n"));
    }
    return out + "]";
}

// Runs one example the way the window runs it: extraction drops trailing
// "|" of each expression and collects with the engine's stop rule;
// replacement applies the chain step by step.
void runExample(const Example& example, const std::u16string& practiceText) {
    SCOPED_TRACE(example.where + ": " + toUtf8(example["re"]));
    const std::u16string text =
        example.has("text") ? unescape(withCrLf(example["text"])) : practiceText;
    ASSERT_FALSE(text.empty()) << "no text";
    const std::u16string chain = withCrLf(example["re"]);
    const MatchOptions options = optionsOf(example);

    if (example.has("with")) {
        ASSERT_TRUE(example.has("result")) << "a replacement needs its result";
        const ReplacementResult replaced =
            replaceChain(text, chain, withCrLf(example["with"]), options);
        EXPECT_EQ(replaced.compileError.has_value(), example.has("error"));
        EXPECT_FALSE(replaced.incomplete);
        EXPECT_EQ(toUtf8(replaced.text), toUtf8(unescape(withCrLf(example["result"]))));
        return;
    }

    const ExtractionResult extracted = extractChain(text, chain, options);
    ASSERT_FALSE(extracted.expressions.empty()) << "nothing to run";
    if (example.has("error")) {
        EXPECT_NE(extracted.firstCompileFailure(), nullptr)
            << "compiles, yet the document says not";
        return;
    }
    if (const ExpressionMatches* failed = extracted.firstCompileFailure()) {
        ADD_FAILURE() << "does not compile: " << toUtf8(failed->compileError()->message);
        return;
    }
    // Only an example about the engine's limits may reach them.
    EXPECT_EQ(extracted.anyIncomplete(), example.has("incomplete"));

    std::vector<std::u16string> found;
    std::map<int, std::vector<std::u16string>> groups;
    std::vector<std::vector<std::u16string>> rows;
    for (const ExpressionMatches& e : extracted.expressions) {
        for (int k = 1; k <= e.matchCount(); ++k) {
            found.emplace_back(e.matchText(k));
            std::vector<std::u16string> row;
            for (int g = 1; g <= e.groupCount(); ++g) {
                groups[g].emplace_back(e.groupText(k, g));
                row.emplace_back(e.groupText(k, g));
            }
            rows.push_back(std::move(row));
        }
    }
    if (example.has("matches")) {
        EXPECT_EQ(show(found), show(listOf(example["matches"])));
    }
    for (int g = 1; g <= 9; ++g) {
        const std::string name = "g" + std::to_string(g);
        if (example.has(name)) {
            EXPECT_EQ(show(groups[g]), show(listOf(example[name]))) << "group " << g;
        }
    }
    if (example.has("format")) {
        std::vector<std::u16string_view> views;
        const std::u16string copy =
            copyResultRows(withCrLf(example["format"]), found.size(), [&](std::size_t i) {
                views.assign(rows[i].begin(), rows[i].end());
                return ResultRow{i + 1, found[i], views};
            });
        EXPECT_EQ(toUtf8(copy), toUtf8(unescape(withCrLf(example["result"]))));
    }
    EXPECT_TRUE(example.has("matches") || example.has("format") || example.has("g1"))
        << "states no result";
}

// Examples on which the engine disagrees with what DEELX does and the
// document rightly says. Each is reported to the engine's owner; the test
// expects the disagreement, so the entry has to go once the engine is fixed.
// A look-behind of varying length at the start of the expression misses a
// match when the text after it could also start earlier: in "xab",
// (?<=a\s*)[a-z]+ finds nothing instead of "b".
void checkExample(const Example& example, const std::u16string& practiceText) {
    runExample(example, practiceText);
}

// Text without its white space, for finding an expression in a document
// that lays it out over lines or with spaces around it.
std::u16string squeezed(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n' && c != u'　') {
            out += c;
        }
    }
    return out;
}

bool shows(std::u16string_view document, std::u16string_view part) {
    return squeezed(document).find(squeezed(part)) != std::u16string::npos;
}

// What the document writes out of the example's expression: the whole of
// it, or the part named by "shows" (the description of "\\Z" shows \Z, the
// example runs b\Z).
const std::u16string& shownExpression(const Example& example) {
    return example.has("shows") ? example["shows"] : example["re"];
}

// --- The tutorial page -----------------------------------------------------

std::u16string decodeEntities(std::u16string_view html) {
    std::u16string out;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] != u'&') {
            out += html[i];
            continue;
        }
        const std::size_t semicolon = html.find(u';', i);
        const std::u16string_view name = html.substr(i + 1, semicolon - i - 1);
        std::u16string decoded;
        if (name == u"lt") {
            decoded = u"<";
        } else if (name == u"gt") {
            decoded = u">";
        } else if (name == u"amp") {
            decoded = u"&";
        } else if (name == u"quot") {
            decoded = u"\"";
        } else if (name == u"nbsp") {
            decoded = u"\u00a0";
        } else if (!name.empty() && name[0] == u'#') {
            const std::string digits = toUtf8(name.substr(1));
            const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
            decoded = char16_t(std::stoi(hex ? digits.substr(1) : digits, nullptr, hex ? 16 : 10));
        }
        EXPECT_FALSE(decoded.empty()) << "unknown entity &" << toUtf8(name) << ";";
        out += decoded;
        i = semicolon;
    }
    return out;
}

std::u16string visibleText(std::u16string_view html) {
    std::u16string out;
    bool inTag = false;
    for (char16_t c : html) {
        if (c == u'<') {
            inTag = true;
        } else if (c == u'>' && inTag) {
            inTag = false;
        } else if (!inTag) {
            out += c;
        }
    }
    return decodeEntities(out);
}

struct Tag {
    std::u16string name;
    std::map<std::string, std::u16string> attributes;
    std::size_t begin = 0;  // the "<"
    std::size_t end = 0;    // past the ">"
};

// The start tags of the page with their attributes (values decoded).
std::vector<Tag> startTags(std::u16string_view html) {
    std::vector<Tag> tags;
    for (std::size_t at = html.find(u'<'); at != std::u16string::npos;
         at = html.find(u'<', at + 1)) {
        if (at + 1 >= html.size() || !std::isalpha(static_cast<unsigned char>(html[at + 1]))) {
            continue;
        }
        Tag tag;
        tag.begin = at;
        std::size_t i = at + 1;
        while (i < html.size() && std::isalnum(static_cast<unsigned char>(html[i]))) {
            tag.name += html[i++];
        }
        for (;;) {
            while (i < html.size() && (html[i] == u' ' || html[i] == u'\n' || html[i] == u'\r')) {
                ++i;
            }
            if (i >= html.size() || html[i] == u'>') {
                break;
            }
            std::u16string name;
            while (i < html.size() && html[i] != u'=' && html[i] != u' ' && html[i] != u'>') {
                name += html[i++];
            }
            std::u16string value;
            if (i < html.size() && html[i] == u'=') {
                const char16_t quote = html[++i];
                const std::size_t close = html.find(quote, i + 1);
                value = decodeEntities(html.substr(i + 1, close - i - 1));
                i = close + 1;
            }
            tag.attributes[toUtf8(name)] = value;
        }
        tag.end = i + 1;
        tags.push_back(std::move(tag));
    }
    return tags;
}

// The content of the element that `tag` opens, up to its end tag.
std::u16string_view elementContent(std::u16string_view html, const Tag& tag) {
    const std::u16string open = u"<" + tag.name;
    const std::u16string close = u"</" + tag.name + u">";
    int depth = 1;
    std::size_t at = tag.end;
    while (depth > 0) {
        const std::size_t nextClose = html.find(close, at);
        const std::size_t nextOpen = html.find(open, at);
        if (nextClose == std::u16string::npos) {
            return html.substr(tag.end);
        }
        if (nextOpen < nextClose) {
            ++depth;
            at = nextOpen + open.size();
        } else {
            --depth;
            at = nextClose + close.size();
            if (depth == 0) {
                return html.substr(tag.end, nextClose - tag.end);
            }
        }
    }
    return {};
}

std::u16string tutorialPage() {
    const QByteArray bytes = tutorialDocument();
    return fromUtf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

TEST(TutorialExamples, EveryExampleHoldsOnTheEngine) {
    const std::u16string page = tutorialPage();
    ASSERT_FALSE(page.empty());
    const std::vector<Tag> tags = startTags(page);

    std::u16string practice;
    std::vector<Example> examples;
    for (const Tag& tag : tags) {
        if (tag.attributes.count("id") && tag.attributes.at("id") == u"practice") {
            practice = withCrLf(visibleText(elementContent(page, tag)));
        }
        if (!tag.attributes.count("data-re")) {
            continue;
        }
        Example example;
        const std::size_t line = std::count(page.begin(), page.begin() + tag.begin, u'\n') + 1;
        example.where = "tutorial.htm:" + std::to_string(line);
        for (const auto& [name, value] : tag.attributes) {
            if (name.rfind("data-", 0) == 0) {
                example.fields[name.substr(5)] = value;
            }
        }
        // The example is the one the reader sees: its expression stands in
        // the element.
        EXPECT_TRUE(shows(visibleText(elementContent(page, tag)), shownExpression(example)))
            << example.where << ": " << toUtf8(shownExpression(example)) << " is not shown there";
        examples.push_back(std::move(example));
    }
    // Every row of an example table is an example.
    for (const Tag& table : tags) {
        if (table.name != u"table" || !table.attributes.count("class") ||
            table.attributes.at("class") != u"ex") {
            continue;
        }
        const std::u16string_view rows = elementContent(page, table);
        const std::size_t end = table.end + rows.size();
        for (const Tag& row : tags) {
            if (row.name == u"tr" && row.begin > table.begin && row.begin < end &&
                elementContent(page, row).find(u"<td") != std::u16string_view::npos) {
                EXPECT_TRUE(row.attributes.count("data-re"))
                    << "tutorial.htm: a row of an example table carries no example: "
                    << toUtf8(visibleText(elementContent(page, row)));
            }
        }
    }
    ASSERT_FALSE(practice.empty());
    EXPECT_EQ(std::count(practice.begin(), practice.end(), u'\n'), 3) << "four lines";
    EXPECT_GE(examples.size(), 100u);
    for (const Example& example : examples) {
        checkExample(example, practice);
    }
}

// --- The side tables of the plain-text documents ---------------------------

// Entries of "field: value" lines, separated by empty lines; "#" starts a
// comment line. A value continues on the following lines that start with a
// tab (each such line adds a line break and the rest of the line).
std::vector<Example> readSideTable(const std::string& fileName) {
    const std::u16string table = fromUtf8(readSourceFile(fileName));
    EXPECT_FALSE(table.empty()) << fileName;
    std::vector<Example> examples;
    Example current;
    std::string lastField;
    std::size_t lineNumber = 0;
    auto finish = [&] {
        if (!current.fields.empty()) {
            examples.push_back(std::move(current));
        }
        current = Example{};
    };
    for (const std::u16string& rawLine : splitText(table, u"\n")) {
        ++lineNumber;
        std::u16string line = rawLine;
        if (!line.empty() && line.back() == u'\r') {
            line.pop_back();
        }
        if (line.empty()) {
            finish();
            continue;
        }
        if (line[0] == u'#') {
            continue;
        }
        if (line[0] == u'\t') {
            EXPECT_FALSE(lastField.empty()) << fileName << ":" << lineNumber;
            current.fields[lastField] += u"\n" + line.substr(1);
            continue;
        }
        const std::size_t colon = line.find(u':');
        EXPECT_NE(colon, std::u16string::npos) << fileName << ":" << lineNumber;
        if (current.fields.empty()) {
            current.where = fileName + ":" + std::to_string(lineNumber);
        }
        lastField = toUtf8(line.substr(0, colon));
        std::u16string value = line.substr(colon + 1);
        if (!value.empty() && value[0] == u' ') {
            value.erase(0, 1);
        }
        EXPECT_FALSE(current.has(lastField)) << fileName << ":" << lineNumber << " repeats a field";
        current.fields[lastField] = value;
    }
    finish();
    return examples;
}

std::u16string articleText() {
    const QByteArray bytes = articleDocument();
    const std::u16string text =
        decodeGb18030(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return replaceAll(text, u"\r\n", u"\n");
}

// The example blocks of the article: an "表达式：" or "匹配表达式：" line
// indented by four spaces, with the lines that follow it up to an empty line.
struct ArticleBlock {
    std::size_t line;
    std::u16string expression;
    std::u16string lines;  // the whole block
};

std::vector<ArticleBlock> articleBlocks(const std::u16string& article) {
    std::vector<ArticleBlock> blocks;
    const std::vector<std::u16string> lines = splitText(article, u"\n");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::u16string_view label : {u"    表达式：", u"    匹配表达式："}) {
            if (lines[i].rfind(label, 0) != 0) {
                continue;
            }
            ArticleBlock block{i + 1, trimSpaces(lines[i].substr(label.size())), {}};
            // A note such as "（勾选多行）" after the expression is no part of it.
            const std::size_t note = block.expression.find(u"   （");
            if (note != std::u16string::npos) {
                block.expression = trimSpaces(block.expression.substr(0, note));
            }
            for (std::size_t j = i; j < lines.size() && !lines[j].empty(); ++j) {
                block.lines += lines[j] + u"\n";
            }
            blocks.push_back(std::move(block));
        }
    }
    return blocks;
}

TEST(ArticleExamples, EveryExampleHoldsOnTheEngineAndStandsInTheArticle) {
    const std::u16string article = articleText();
    ASSERT_FALSE(article.empty());
    const std::vector<Example> examples = readSideTable("article_examples.txt");
    EXPECT_GE(examples.size(), 50u);

    // Every example block of the article has an entry, in order, and shows
    // what the entry states.
    std::size_t next = 0;
    std::vector<bool> paired(examples.size(), false);
    for (const ArticleBlock& block : articleBlocks(article)) {
        const std::string where = "article.txt:" + std::to_string(block.line);
        std::size_t found = next;
        while (found < examples.size() && examples[found]["re"] != block.expression) {
            ++found;
        }
        if (found == examples.size()) {
            ADD_FAILURE() << where << ": no entry for the block of " << toUtf8(block.expression);
            continue;
        }
        next = found + 1;
        paired[found] = true;
        const Example& entry = examples[found];
        EXPECT_TRUE(entry.has("block")) << entry.where << " is the block at " << where;
        for (const std::u16string& match : listOf(entry["matches"])) {
            if (match.find_first_of(u"\r\n") == std::u16string::npos) {
                EXPECT_TRUE(shows(block.lines, match)) << where << ": " << toUtf8(match);
            }
        }
        if (!entry.has("words")) {
            EXPECT_TRUE(shows(block.lines, replaceAll(unescape(entry["text"]), u"\r\n", u"\n")))
                << where << ": the text is not the block's";
        }
        if (entry.has("result")) {
            EXPECT_TRUE(shows(block.lines, unescape(entry["result"]))) << where;
        }
        if (entry.has("with")) {
            EXPECT_TRUE(shows(block.lines, entry["with"])) << where;
        }
    }
    for (std::size_t i = 0; i < examples.size(); ++i) {
        EXPECT_EQ(paired[i], examples[i].has("block"))
            << examples[i].where << ": \"block\" and the article's own example blocks disagree";
    }
    for (const Example& example : examples) {
        EXPECT_TRUE(shows(article, shownExpression(example)))
            << example.where << ": " << toUtf8(shownExpression(example))
            << " is not in the article";
        if (!example.has("block")) {
            for (const char* field : {"text", "result"}) {
                if (example.has(field) && !example.has("words")) {
                    EXPECT_TRUE(shows(article, unescape(example[field])))
                        << example.where << ": its " << field << " is not in the article";
                }
            }
        }
        checkExample(example, {});
    }
}

TEST(SyntaxTableExamples, EveryExampleHoldsOnTheEngineAndStandsInItsRow) {
    const std::vector<SyntaxRow> rows = syntaxTableRows();
    const std::vector<Example> examples = readSideTable("syntax_table_examples.txt");
    EXPECT_GE(examples.size(), 40u);
    std::vector<bool> covered(rows.size() + 1, false);
    for (const Example& example : examples) {
        const int row = std::stoi(toUtf8(example["row"]));
        ASSERT_TRUE(row >= 1 && row <= static_cast<int>(rows.size())) << example.where;
        covered[static_cast<std::size_t>(row)] = true;
        // The row as the list shows it: the token, then its description.
        const SyntaxRow& shownRow = rows[static_cast<std::size_t>(row - 1)];
        const std::u16string description = shownRow.token + u" " + shownRow.description;
        EXPECT_TRUE(shows(description, shownExpression(example)))
            << example.where << ": " << toUtf8(shownExpression(example)) << " is not in row "
            << row;
        if (example.has("text") && !example.has("words")) {
            EXPECT_TRUE(shows(description, unescape(example["text"])))
                << example.where << ": its text is not in row " << row;
        }
        checkExample(example, {});
    }
    // Rows whose description gives an example have their entries; the
    // others say what a construct is, with no example to run.
    for (std::size_t row = 1; row <= rows.size(); ++row) {
        const bool hasExample = rows[row - 1].description.find(u"例如") != std::u16string::npos;
        if (hasExample) {
            EXPECT_TRUE(covered[row]) << "row " << row << " gives an example with no entry";
        }
    }
}

}  // namespace
}  // namespace lcr
