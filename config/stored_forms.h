// The text form in which the configuration store keeps each type of value,
// the same in the INI document and in the registry stand-in.
//
//   text         CR LF becomes "┊*┊" on the way in and back on the way out;
//                a lone CR or LF stays as it is.
//   number       "%.13g" in the C locale (136, 2.5, -4, 1e+20); read back as
//                the leading decimal number of the text, full-width digits,
//                signs and points counting as ASCII; no number reads as 0.
//   truth value  "真" or "假".
//   date-time    "YYYY-MM-DD HH:MM:SS", UTC.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace lcr {

inline constexpr std::u16string_view kStoredLineBreak = u"┊*┊";
inline constexpr std::u16string_view kStoredTrue = u"真";
inline constexpr std::u16string_view kStoredFalse = u"假";

using DateTime = std::chrono::sys_seconds;

// Every CR LF (left to right) becomes "┊*┊", and back.
std::u16string toStoredText(std::u16string_view text);
std::u16string fromStoredText(std::u16string_view stored);

// "%.13g", independent of the process locale (Qt sets the user's locale,
// whose decimal comma would not read back elsewhere).
std::u16string formatStoredNumber(double value);
// The leading decimal number: optional blanks (space, tab, full-width
// space), sign, digits, decimal point, exponent. "12abc" is 12, "abc" and ""
// are 0. A number too large for a double reads as an infinity, one too small
// as 0.
double parseStoredNumber(std::u16string_view stored);

std::u16string formatStoredBool(bool value);
// True only for exactly "真".
bool parseStoredBool(std::u16string_view stored);
// False only for exactly "假" (so an empty or unknown text is true).
bool parseStoredBoolLenient(std::u16string_view stored);

std::u16string formatStoredDateTime(DateTime value);
// Nothing when the text is not in the form formatStoredDateTime writes.
std::optional<DateTime> parseStoredDateTime(std::u16string_view stored);

// A number put into a component (index, position, size, colour) truncated
// toward zero. Values beyond the range of int are clamped to it and NaN is
// 0, so a damaged INI value can never make the conversion undefined.
int truncateToInt(double value);

}  // namespace lcr
