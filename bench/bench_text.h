// A deterministic mixed Chinese and ASCII text for the benchmarks: order
// lines with dates, numbers, e-mail addresses, Chinese words, full-width
// punctuation and now and then an emoji, CR LF line breaks.
#pragma once

#include <cstdint>
#include <string>

namespace lcr::bench {

inline std::u16string mixedText(std::size_t codeUnits) {
    static const char16_t* const words[] = {
        u"订单", u"客户", u"正则表达式", u"测试", u"北京市", u"上海",           u"金额", u"备注",
        u"发货", u"完成", u"岚川",       u"数据", u"文件",   u"中华人民共和国", u"软件", u"地址"};
    static const char16_t* const ascii[] = {u"order", u"status",   u"ok",    u"id",
                                            u"user",  u"file.txt", u"value", u"note"};
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    auto number = [&](int digits) {
        std::u16string s;
        for (int i = 0; i < digits; ++i) {
            s.push_back(static_cast<char16_t>(u'0' + next(10)));
        }
        return s;
    };
    std::u16string text;
    text.reserve(codeUnits + 256);
    while (text.size() < codeUnits) {
        text += number(4) + u"-" + number(2) + u"-" + number(2) + u" ";
        text += words[next(16)];
        text += u"：";
        text += ascii[next(8)];
        text += u" " + number(1 + static_cast<int>(next(8))) + u" ";
        text += words[next(16)];
        text += words[next(16)];
        if (next(4) == 0) {
            text += ascii[next(8)];
            text += u"@example" + number(2) + u".com ";
        }
        text += u"，";
        text += words[next(16)];
        if (next(50) == 0) {
            text += u"😀";
        }
        text += u"。\r\n";
    }
    return text;
}

}  // namespace lcr::bench
