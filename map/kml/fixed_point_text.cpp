#include "fixed_point_text.h"

#include <charconv>
#include <cmath>

namespace kolvex {

void AppendFixed6(std::string& out, double value) {
    if (std::isnan(value)) {
        out += std::signbit(value) ? "-nan" : "nan";
        return;
    }
    // Large enough for any double in fixed notation (309 digits + sign + six
    // decimals); to_chars never consults the locale.
    char buffer[352];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

std::string FormatFixed6(double value) {
    std::string text;
    AppendFixed6(text, value);
    return text;
}

} // namespace kolvex
