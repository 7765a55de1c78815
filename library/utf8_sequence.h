// Reading one UTF-8 sequence strictly: the shortest form only, no
// surrogates, nothing above U+10FFFF. Shared by the file-name codec and
// the command-line tool's JSON writer, which must agree on which bytes are
// not UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kolvex {

// Length (1 to 4) of the well-formed sequence at s[i] with its code point
// in cp, or 0 when the byte at i starts none.
inline size_t Utf8SequenceAt(std::string_view s, size_t i, char32_t& cp) {
    const auto b0 = static_cast<uint8_t>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t length;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, min = 0x80, cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, min = 0x800, cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<uint8_t>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

} // namespace kolvex
