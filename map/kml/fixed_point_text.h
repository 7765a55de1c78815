// Numbers as the map page's script and the export formats read them: "%f"
// (six decimals, a full stop) whatever locale the program runs in.
#pragma once

#include <string>

namespace kolvex {

// The text printf("%f", value) gives in the C locale.
std::string FormatFixed6(double value);
// Appends it to `out`, for writers that build a line piece by piece.
void AppendFixed6(std::string& out, double value);

} // namespace kolvex
