#include "regex/replacement.h"

namespace lcr {

namespace {

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

std::vector<ReplacementToken> tokenizeReplacement(
    std::u16string_view replacement, int groupCount,
    const std::function<int(std::u16string_view)>& groupNumber) {
    using Kind = ReplacementToken::Kind;
    std::vector<ReplacementToken> tokens;
    auto literal = [&tokens](std::size_t start, std::size_t end) {
        if (start == end) {
            return;
        }
        if (!tokens.empty() && tokens.back().kind == Kind::Literal && tokens.back().end == start) {
            tokens.back().end = end;
        } else {
            tokens.push_back({Kind::Literal, 0, {}, start, end});
        }
    };
    auto add = [&tokens](Kind kind, std::size_t start, std::size_t end, int group = 0,
                         std::u16string_view name = {}) {
        tokens.push_back({kind, group, name, start, end});
    };
    std::size_t i = 0;
    while (i < replacement.size()) {
        const std::size_t dollar = replacement.find(u'$', i);
        if (dollar == std::u16string_view::npos) {
            literal(i, replacement.size());
            break;
        }
        literal(i, dollar);
        i = dollar + 1;
        const char16_t next = i < replacement.size() ? replacement[i] : u'\0';
        switch (next) {
            case u'$':
                add(Kind::Dollar, dollar, ++i);
                continue;
            case u'&':
                add(Kind::Group, dollar, ++i, 0);
                continue;
            case u'`':
                add(Kind::Before, dollar, ++i);
                continue;
            case u'\'':
                add(Kind::After, dollar, ++i);
                continue;
            case u'+':
                add(Kind::LastGroup, dollar, ++i);
                continue;
            case u'_':
                add(Kind::WholeInput, dollar, ++i);
                continue;
            case u'{': {
                const std::size_t close = replacement.find(u'}', i + 1);
                if (close != std::u16string_view::npos) {
                    const std::u16string_view name = replacement.substr(i + 1, close - i - 1);
                    int number = -1;
                    bool allDigits = !name.empty() && name.size() <= 9;
                    for (char16_t c : name) {
                        allDigits = allDigits && isDigit(c);
                    }
                    if (allDigits) {
                        number = 0;
                        for (char16_t c : name) {
                            number = number * 10 + (c - u'0');
                        }
                        if (number > groupCount) {
                            number = -1;
                        }
                    } else if (!name.empty()) {
                        number = groupNumber(name);
                    }
                    if (number >= 0) {
                        add(Kind::Group, dollar, close + 1, number,
                            allDigits ? std::u16string_view() : name);
                        i = close + 1;
                        continue;
                    }
                }
                add(Kind::LoneDollar, dollar, i);
                continue;
            }
            default:
                break;
        }
        if (!isDigit(next)) {
            add(Kind::LoneDollar, dollar, i);  // any other dollar sign is literal
            continue;
        }
        std::size_t digits = 0;
        while (digits < 3 && i + digits < replacement.size() && isDigit(replacement[i + digits])) {
            ++digits;
        }
        // Drop last digits while the number names no group; they stay literal.
        while (digits > 0) {
            int number = 0;
            for (std::size_t k = 0; k < digits; ++k) {
                number = number * 10 + (replacement[i + k] - u'0');
            }
            if (number <= groupCount) {
                add(Kind::Group, dollar, i + digits, number);
                i += digits;
                break;
            }
            --digits;
        }
        if (digits == 0) {
            add(Kind::LoneDollar, dollar, i);
        }
    }
    return tokens;
}

ReplacementTemplate::ReplacementTemplate(std::u16string_view replacement, int groupCount,
                                         const std::function<int(std::u16string_view)>& groupNumber)
    : m_groupCount(groupCount) {
    using Token = ReplacementToken::Kind;
    for (const ReplacementToken& t : tokenizeReplacement(replacement, groupCount, groupNumber)) {
        switch (t.kind) {
            case Token::Literal:
                addLiteral(replacement.substr(t.start, t.end - t.start));
                break;
            case Token::Dollar:
            case Token::LoneDollar:
                addLiteral(u"$");
                break;
            case Token::Group:
                add(Kind::Group, t.group);
                break;
            case Token::Before:
                add(Kind::Before);
                break;
            case Token::After:
                add(Kind::After);
                break;
            case Token::LastGroup:
                add(Kind::LastGroup);
                break;
            case Token::WholeInput:
                add(Kind::WholeInput);
                break;
        }
    }
}

void ReplacementTemplate::addLiteral(std::u16string_view text) {
    if (text.empty()) {
        return;
    }
    if (!m_pieces.empty() && m_pieces.back().kind == Kind::Literal) {
        m_pieces.back().literal.append(text);
    } else {
        m_pieces.push_back({Kind::Literal, std::u16string(text), 0});
    }
}

void ReplacementTemplate::add(Kind kind, int group) {
    m_pieces.push_back({kind, {}, group});
}

void ReplacementTemplate::appendExpansion(std::u16string& out, std::u16string_view text,
                                          const std::int32_t* spans) const {
    auto appendGroup = [&](int group) {
        const std::int32_t start = spans[group * 2];
        const std::int32_t end = spans[group * 2 + 1];
        if (start >= 0 && end >= start) {
            out.append(text.substr(static_cast<std::size_t>(start),
                                   static_cast<std::size_t>(end - start)));
        }
    };
    for (const Piece& piece : m_pieces) {
        switch (piece.kind) {
            case Kind::Literal:
                out.append(piece.literal);
                break;
            case Kind::Group:
                appendGroup(piece.group);
                break;
            case Kind::Before:
                out.append(text.substr(0, static_cast<std::size_t>(spans[0])));
                break;
            case Kind::After:
                out.append(text.substr(static_cast<std::size_t>(spans[1])));
                break;
            case Kind::LastGroup:
                for (int g = m_groupCount; g >= 1; --g) {
                    if (spans[g * 2] >= 0) {
                        appendGroup(g);
                        break;
                    }
                }
                break;
            case Kind::WholeInput:
                out.append(text);
                break;
        }
    }
}

}  // namespace lcr
