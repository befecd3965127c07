#include "library/pattern_words.h"

#include <map>

#include "library/embedded_resources.h"
#include "regex/engine.h"
#include "regex/replacement.h"
#include "text/gb18030.h"
#include "text/program_text.h"

namespace lcr {

namespace {

using Kind = PatternToken::Kind;
using GroupKind = PatternToken::GroupKind;
using Role = ExplanationNode::Role;

const std::map<std::u16string, std::u16string>& wordTable() {
    static const std::map<std::u16string, std::u16string> table = [] {
        std::map<std::u16string, std::u16string> t;
        for (const std::u16string& line :
             splitText(fromUtf8(embedded::explanationTableBytes()), u"\n")) {
            const std::size_t sep = line.find(u"::");
            if (sep != std::u16string::npos) {
                t.emplace(line.substr(0, sep), line.substr(sep + 2));
            }
        }
        return t;
    }();
    return table;
}

// The table's text for `key` with its {fields} filled in.
std::u16string words(
    std::u16string_view key,
    std::initializer_list<std::pair<std::u16string_view, std::u16string>> fields = {}) {
    const auto& table = wordTable();
    const auto it = table.find(std::u16string(key));
    std::u16string text = it == table.end() ? std::u16string(key) : it->second;
    for (const auto& [name, value] : fields) {
        const std::u16string placeholder = u"{" + std::u16string(name) + u"}";
        for (std::size_t at = text.find(placeholder); at != std::u16string::npos;
             at = text.find(placeholder, at + value.size())) {
            text.replace(at, placeholder.size(), value);
        }
    }
    return text;
}

std::u16string decimal(long long n) {
    return fromUtf8(std::to_string(n));
}

std::u16string codePoint(char32_t c) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string digits;
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) {
        digits.push_back(kHex[(c >> shift) & 0xF]);
    }
    return u"U+" + digits;
}

// How a character is shown: itself when it can be seen, else its name.
std::u16string shownCharacter(char32_t c) {
    switch (c) {
        case 0x09:
            return u"制表符 \\t";
        case 0x0A:
            return u"换行符 \\n";
        case 0x0D:
            return u"回车符 \\r";
        case 0x0B:
            return u"垂直制表符 \\v";
        case 0x0C:
            return u"换页符 \\f";
        case 0x07:
            return u"响铃符 \\a";
        case 0x1B:
            return u"转义符 \\e";
        case 0x20:
            return u"空格";
        case 0x3000:
            return u"全角空格";
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F) {
        return u"控制字符";
    }
    std::u16string shown;
    if (c > 0xFFFF) {
        shown.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        shown.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
        shown.push_back(static_cast<char16_t>(c));
    }
    return u"“" + shown + u"”";
}

std::u16string optionWords(std::u16string_view letters) {
    std::u16string on;
    std::u16string off;
    bool turningOff = false;
    for (char16_t c : letters) {
        if (c == u'-') {
            turningOff = true;
            continue;
        }
        if (c == u'^') {
            continue;
        }
        std::u16string& list = turningOff ? off : on;
        if (!list.empty()) {
            list += u"、";
        }
        list += words(u"option." + std::u16string(1, c));
    }
    std::u16string out;
    if (!on.empty()) {
        out += words(u"options.on", {{u"list", on}});
    }
    if (!off.empty()) {
        out += (out.empty() ? u"" : u"，") + words(u"options.off", {{u"list", off}});
    }
    return out;
}

std::u16string groupWords(const PatternToken& t) {
    switch (t.group) {
        case GroupKind::Capturing:
            return t.name.empty()
                       ? words(u"group.capturing", {{u"n", decimal(t.number)}})
                       : words(u"group.named", {{u"n", decimal(t.number)}, {u"name", t.name}});
        case GroupKind::NonCapturing:
            return words(u"group.noncapturing");
        case GroupKind::Atomic:
            return words(u"group.atomic");
        case GroupKind::LookAhead:
            return words(u"group.lookahead");
        case GroupKind::NegativeLookAhead:
            return words(u"group.neglookahead");
        case GroupKind::LookBehind:
            return words(u"group.lookbehind");
        case GroupKind::NegativeLookBehind:
            return words(u"group.neglookbehind");
        case GroupKind::Options:
            return words(u"group.options", {{u"options", optionWords(t.text)}});
        case GroupKind::Conditional:
            if (t.conditionIsLookAhead) {
                return words(u"group.conditional.lookahead", {{u"text", t.text}});
            }
            if (t.text.empty()) {
                return words(u"group.conditional.assertion");
            }
            if (!t.name.empty()) {
                return words(u"group.conditional.named",
                             {{u"n", decimal(t.number)}, {u"name", t.name}});
            }
            return words(u"group.conditional.group", {{u"n", decimal(t.number)}});
    }
    return {};
}

std::u16string tokenWords(const PatternToken& t) {
    switch (t.kind) {
        case Kind::Literal:
            return words(t.ignoreCase ? u"text.ignorecase" : u"text", {{u"text", t.text}});
        case Kind::EscapedChar:
            return words(u"char", {{u"char", shownCharacter(t.character)},
                                   {u"code", codePoint(t.character)}});
        case Kind::ClassEscape: {
            const std::u16string letter = t.text.size() > 1 ? t.text.substr(1, 1) : u"";
            std::u16string property = t.text.size() > 2 ? t.text.substr(2) : u"";
            if (property.size() >= 2 && property.front() == u'{') {
                property = property.substr(1, property.size() - 2);
            }
            return words(u"class." + letter, {{u"text", property}});
        }
        case Kind::CharacterClass:
            return words(t.text.size() > 1 && t.text[1] == u'^' ? u"set.negated" : u"set",
                         {{u"text", t.text}}) +
                   (t.ignoreCase ? words(u"set.ignorecase") : u"");
        case Kind::PosixSet:
            return words(u"posix", {{u"text", t.text}});
        case Kind::Dot:
            return words(t.singleLine ? u"dot.singleline" : u"dot");
        case Kind::Anchor: {
            std::u16string key = u"anchor." + t.text;
            if ((t.text == u"^" || t.text == u"$") && t.multiline) {
                key += u".multiline";
            }
            if (t.text == u"\\G" && !t.global) {
                key += u".off";
            }
            return words(key);
        }
        case Kind::GroupOpen:
            return groupWords(t);
        case Kind::Quantifier:
            return words(u"quantifier.alone", {{u"text", t.text}});
        case Kind::BackReference:
            if (t.number <= 0) {
                return words(u"backref.missing", {{u"text", t.name.empty() ? t.text : t.name}});
            }
            return t.name.empty()
                       ? words(u"backref", {{u"n", decimal(t.number)}})
                       : words(u"backref.named", {{u"n", decimal(t.number)}, {u"name", t.name}});
        case Kind::Recursion:
            if (t.number == 0 && t.name.empty()) {
                return words(u"recursion.whole");
            }
            return t.name.empty()
                       ? words(u"recursion", {{u"n", decimal(t.number)}})
                       : words(u"recursion.named", {{u"n", decimal(t.number)}, {u"name", t.name}});
        case Kind::InlineOptions:
            return words(u"options", {{u"options", optionWords(t.text)}});
        case Kind::Comment:
            return words(u"comment", {{u"text", t.text}});
        case Kind::Verb:
            return words(u"verb", {{u"text", t.text}});
        case Kind::Alternation:
        case Kind::GroupClose:
            break;
    }
    return {};
}

std::u16string repeatWords(const PatternToken& q) {
    std::u16string text;
    if (q.min == 0 && q.max < 0) {
        text = words(u"repeat.any");
    } else if (q.min == 0 && q.max == 1) {
        text = words(u"repeat.optional");
    } else if (q.max == q.min) {
        text = words(u"repeat.exact", {{u"min", decimal(q.min)}});
    } else if (q.max < 0) {
        text = words(u"repeat.atleast", {{u"min", decimal(q.min)}});
    } else {
        text = words(u"repeat.range", {{u"min", decimal(q.min)}, {u"max", decimal(q.max)}});
    }
    switch (q.mode) {
        case PatternToken::Mode::Greedy:
            return text + (q.max == q.min ? u"" : words(u"mode.greedy"));
        case PatternToken::Mode::Lazy:
            return text + words(u"mode.lazy");
        case PatternToken::Mode::Possessive:
            return text + words(u"mode.possessive");
    }
    return text;
}

// A piece of a "<#lc#>" chain, split by the program's split rule
// (text/program_text.h: splitText), with where it starts.
struct ChainPiece {
    std::size_t offset;
    std::size_t index;
    std::u16string_view text;
};

std::vector<ChainPiece> chainPieces(std::u16string_view chain) {
    static constexpr std::u16string_view kSeparator = u"<#lc#>";
    std::vector<ChainPiece> out;
    std::size_t start = 0;
    while (start < chain.size()) {
        const std::size_t end = chain.find(kSeparator, start);
        if (end == std::u16string_view::npos) {
            out.push_back({start, out.size(), chain.substr(start)});
            break;
        }
        out.push_back({start, out.size(), chain.substr(start, end - start)});
        start = end + kSeparator.size();
    }
    return out;
}

void appendLines(std::u16string& out, const ExplanationNode& node, int depth, int number) {
    out.append(static_cast<std::size_t>(depth) * 2, u' ');
    out += describeNode(node, number);
    out += u'\n';
    for (const ExplanationNode& child : node.children) {
        appendLines(out, child, depth + 1, number);
    }
}

}  // namespace

std::vector<ExplainedExpression> explainChain(std::u16string_view chain, int optionBits) {
    std::vector<ExplainedExpression> out;
    for (const ChainPiece& piece : chainPieces(chain)) {
        if (!piece.text.empty()) {
            out.push_back({piece.offset, piece.index, explainPattern(piece.text, optionBits)});
        }
    }
    return out;
}

std::vector<ExplainedReplacement> explainReplacements(std::u16string_view replacements,
                                                      std::u16string_view chain, int optionBits) {
    using Token = ReplacementToken::Kind;
    const std::vector<ChainPiece> expressions = chainPieces(chain);
    std::vector<ChainPiece> texts = chainPieces(replacements);
    // A replacement the text does not have is empty, at the text's end.
    while (texts.size() < expressions.size()) {
        texts.push_back({replacements.size(), texts.size(), {}});
    }
    std::vector<ExplainedReplacement> out;
    for (const ChainPiece& text : texts) {
        ExplainedReplacement e;
        e.offset = text.offset;
        e.pieceIndex = text.index;
        const std::u16string k = decimal(static_cast<long long>(text.index) + 1);
        EngineExpression engine;
        const bool used = text.index < expressions.size() &&
                          !expressions[text.index].text.empty() &&
                          engine.compile(expressions[text.index].text, optionBits);
        if (!used) {
            e.words = words(u"replacement.unused", {{u"k", k}});
        } else if (text.text.empty()) {
            e.words = words(u"replacement.empty", {{u"k", k}});
        } else {
            e.words = words(u"replacement", {{u"k", k}});
        }
        if (used) {
            for (const ReplacementToken& t : tokenizeReplacement(
                     text.text, engine.groupCount(),
                     [&engine](std::u16string_view name) { return engine.groupNumber(name); })) {
                std::u16string part;
                switch (t.kind) {
                    case Token::Literal:
                        part =
                            words(u"replacement.text", {{u"text", std::u16string(text.text.substr(
                                                                      t.start, t.end - t.start))}});
                        break;
                    case Token::Dollar:
                        part = words(u"replacement.dollar");
                        break;
                    case Token::LoneDollar:
                        part = words(u"replacement.lonedollar");
                        break;
                    case Token::Group:
                        if (t.group == 0) {
                            part = words(u"replacement.match");
                        } else if (!t.name.empty()) {
                            part = words(u"replacement.named", {{u"n", decimal(t.group)},
                                                                {u"name", std::u16string(t.name)}});
                        } else {
                            part = words(u"replacement.group", {{u"n", decimal(t.group)}});
                        }
                        break;
                    case Token::Before:
                        part = words(u"replacement.before");
                        break;
                    case Token::After:
                        part = words(u"replacement.after");
                        break;
                    case Token::LastGroup:
                        part = words(u"replacement.last");
                        break;
                    case Token::WholeInput:
                        part = words(u"replacement.input");
                        break;
                }
                e.parts.push_back({std::move(part), text.offset + t.start, text.offset + t.end});
            }
        }
        out.push_back(std::move(e));
    }
    return out;
}

std::u16string replacementExplanationText(std::u16string_view replacements,
                                          std::u16string_view chain, int optionBits) {
    std::u16string out;
    for (const ExplainedReplacement& e : explainReplacements(replacements, chain, optionBits)) {
        out += e.words + u'\n';
        for (const ExplainedReplacement::Part& part : e.parts) {
            out += u"  " + part.words + u'\n';
        }
    }
    return out;
}

std::u16string describeNode(const ExplanationNode& node, int expressionNumber) {
    switch (node.role) {
        case Role::Expression:
            return words(u"expression", {{u"k", decimal(expressionNumber)}});
        case Role::Construct:
            return tokenWords(node.token);
        case Role::Repeat:
            return repeatWords(node.token);
        case Role::Branch:
            return words(u"branch", {{u"k", decimal(node.branch)}});
        case Role::Yes:
            return words(u"yes");
        case Role::No:
            return words(u"no");
        case Role::Error:
            return words(u"error", {{u"message", node.message}});
    }
    return {};
}

std::u16string explanationText(std::u16string_view chain, int optionBits) {
    std::u16string out;
    for (const ExplainedExpression& e : explainChain(chain, optionBits)) {
        appendLines(out, e.root, 0, static_cast<int>(e.pieceIndex) + 1);
    }
    return out;
}

}  // namespace lcr
