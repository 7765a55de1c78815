// Places of the window's template are given in dialog units of an 8-point
// dialog font at 96 dpi: 6 pixels per 4 units across, 13 per 8 down.
#pragma once

#include <QRect>

namespace kolvex {

constexpr int DluToPixelsX(int x) {
    return x * 6 / 4;
}
constexpr int DluToPixelsY(int y) {
    return y * 13 / 8;
}
inline QRect DluRect(int x, int y, int width, int height) {
    return QRect(DluToPixelsX(x), DluToPixelsY(y), DluToPixelsX(width), DluToPixelsY(height));
}

// The template's size, 620 x 414 units: the window's size before the
// stored rectangle is applied.
inline constexpr int kTemplateWidth = DluToPixelsX(620);
inline constexpr int kTemplateHeight = DluToPixelsY(414);

} // namespace kolvex
