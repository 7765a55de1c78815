// The looks the window derives from a skin picture at run time: the grey
// face of a disabled button or of an instrument without a GPS fix, and the
// brightened face of a button under the mouse.
#pragma once

#include <QImage>

namespace kolvex::skin {

// Every colour channel becomes 0.3 R + 0.59 G + 0.11 B; alpha is kept.
QImage greyLook(const QImage& picture);

// Every colour channel becomes 1.05 × itself + 5 % of full scale, clamped;
// alpha is kept.
QImage hoverLook(const QImage& picture);

} // namespace kolvex::skin
