// What the first byte of a UTF-8 sequence says: how long the sequence is,
// the bits it carries, and the range its second byte must lie in. The range
// rules out overlong forms, surrogates and values above U+10FFFF, so a
// decoder that checks it accepts exactly the well-formed sequences. Shared by
// the lenient decoder of text/ and the strict one of the batch runs.
#pragma once

#include <cstddef>

namespace lcr {

struct Utf8Lead {
    std::size_t length = 0;  // 0: the byte starts no sequence
    char32_t bits = 0;       // the code point bits the lead byte carries
    unsigned low = 0x80;     // the second byte's range; later bytes are 80..BF
    unsigned high = 0xBF;
};

constexpr Utf8Lead utf8Lead(unsigned b0) {
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        return {2, b0 & 0x1F, 0x80, 0xBF};
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        return {3, b0 & 0x0F, b0 == 0xE0 ? 0xA0u : 0x80u, b0 == 0xED ? 0x9Fu : 0xBFu};
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        return {4, b0 & 0x07, b0 == 0xF0 ? 0x90u : 0x80u, b0 == 0xF4 ? 0x8Fu : 0xBFu};
    }
    return {};
}

}  // namespace lcr
