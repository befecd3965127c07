// Bytes as hex for failure messages: "D6 D0 ".
#pragma once

#include <string>
#include <string_view>

namespace lcr::testing {

inline std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

}  // namespace lcr::testing
