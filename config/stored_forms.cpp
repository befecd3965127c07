#include "config/stored_forms.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

namespace lcr {

namespace {

std::u16string replaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::u16string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
}

std::u16string asciiToUtf16(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// Full-width digits, signs and points read as their ASCII forms.
char16_t foldFullWidth(char16_t c) {
    if (c >= u'０' && c <= u'９') {
        return static_cast<char16_t>(u'0' + (c - u'０'));
    }
    switch (c) {
        case u'＋':
            return u'+';
        case u'－':
            return u'-';
        case u'．':
            return u'.';
        case u'ｅ':
            return u'e';
        case u'Ｅ':
            return u'E';
        default:
            return c;
    }
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

std::u16string toStoredText(std::u16string_view text) {
    return replaceAll(text, u"\r\n", kStoredLineBreak);
}

std::u16string fromStoredText(std::u16string_view stored) {
    return replaceAll(stored, kStoredLineBreak, u"\r\n");
}

std::u16string formatStoredNumber(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    return asciiToUtf16(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

double parseStoredNumber(std::u16string_view stored) {
    std::size_t i = 0;
    while (i < stored.size() &&
           (stored[i] == u' ' || stored[i] == u'\t' || stored[i] == u'\u3000')) {
        ++i;
    }
    // The longest prefix of the form [sign] digits [. digits] [e [sign] digits],
    // gathered as ASCII so that from_chars (locale-free) reads it.
    std::string number;
    auto at = [&](std::size_t k) { return k < stored.size() ? foldFullWidth(stored[k]) : u'\0'; };
    if (at(i) == u'+' || at(i) == u'-') {
        if (at(i) == u'-') {
            number += '-';
        }
        ++i;
    }
    bool anyDigit = false;
    while (isDigit(at(i))) {
        number += static_cast<char>(at(i++));
        anyDigit = true;
    }
    if (at(i) == u'.') {
        std::string fraction = ".";
        std::size_t k = i + 1;
        while (isDigit(at(k))) {
            fraction += static_cast<char>(at(k++));
        }
        if (anyDigit || fraction.size() > 1) {
            number += fraction;
            anyDigit = anyDigit || fraction.size() > 1;
            i = k;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    if (at(i) == u'e' || at(i) == u'E') {
        std::string exponent = "e";
        std::size_t k = i + 1;
        if (at(k) == u'+' || at(k) == u'-') {
            exponent += static_cast<char>(at(k++));
        }
        if (isDigit(at(k))) {
            while (isDigit(at(k))) {
                exponent += static_cast<char>(at(k++));
            }
            number += exponent;
        }
    }
    double value = 0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone; decide by the size of the
        // exponent whether it overflowed or underflowed.
        const bool negative = number.front() == '-';
        const std::size_t e = number.find('e');
        const bool tiny = e != std::string::npos && number.compare(e, 2, "e-") == 0;
        if (tiny) {
            return negative ? -0.0 : 0.0;
        }
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    return result.ec == std::errc() ? value : 0;
}

std::u16string formatStoredBool(bool value) {
    return std::u16string(value ? kStoredTrue : kStoredFalse);
}

bool parseStoredBool(std::u16string_view stored) {
    return stored == kStoredTrue;
}

bool parseStoredBoolLenient(std::u16string_view stored) {
    return stored != kStoredFalse;
}

std::u16string formatStoredDateTime(DateTime value) {
    using namespace std::chrono;
    const sys_days day = floor<days>(value);
    const year_month_day date(day);
    const hh_mm_ss<seconds> time(value - day);
    char buffer[64];
    const int length = std::snprintf(
        buffer, sizeof buffer, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()));
    return asciiToUtf16(std::string_view(buffer, static_cast<std::size_t>(length)));
}

std::optional<DateTime> parseStoredDateTime(std::u16string_view stored) {
    using namespace std::chrono;
    // YYYY-MM-DD HH:MM:SS, an optional '-' before the year.
    std::string ascii;
    for (char16_t c : stored) {
        if (c > 0x7F) {
            return std::nullopt;
        }
        ascii += static_cast<char>(c);
    }
    int fields[6] = {};
    const char separators[] = {'-', '-', ' ', ':', ':', '\0'};
    const char* p = ascii.data();
    const char* end = ascii.data() + ascii.size();
    for (int f = 0; f < 6; ++f) {
        const auto result = std::from_chars(p, end, fields[f]);
        if (result.ec != std::errc()) {
            return std::nullopt;
        }
        p = result.ptr;
        if (f < 5) {
            if (p == end || *p != separators[f]) {
                return std::nullopt;
            }
            ++p;
        }
    }
    if (p != end) {
        return std::nullopt;
    }
    const year_month_day date{year(fields[0]), month(static_cast<unsigned>(fields[1])),
                              day(static_cast<unsigned>(fields[2]))};
    if (!date.ok() || fields[3] < 0 || fields[3] > 23 || fields[4] < 0 || fields[4] > 59 ||
        fields[5] < 0 || fields[5] > 59) {
        return std::nullopt;
    }
    return sys_days(date) + hours(fields[3]) + minutes(fields[4]) + seconds(fields[5]);
}

int truncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

}  // namespace lcr
