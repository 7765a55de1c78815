#include "skin_looks.h"

#include <algorithm>
#include <cmath>

namespace kolvex::skin {

namespace {

int toChannel(double value) {
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

// Applies `recolour` to each pixel's straight (not premultiplied) colour, as
// a colour matrix does, so that half-transparent edges keep their alpha.
template <typename Recolour> QImage recoloured(const QImage& picture, Recolour recolour) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = recolour(line[x]);
    }
    return image;
}

} // namespace

QImage greyLook(const QImage& picture) {
    return recoloured(picture, [](QRgb pixel) {
        const int grey = toChannel(0.3 * qRed(pixel) + 0.59 * qGreen(pixel) + 0.11 * qBlue(pixel));
        return qRgba(grey, grey, grey, qAlpha(pixel));
    });
}

QImage hoverLook(const QImage& picture) {
    return recoloured(picture, [](QRgb pixel) {
        const auto brighten = [](int channel) { return toChannel(channel * 1.05 + 0.05 * 255); };
        return qRgba(brighten(qRed(pixel)), brighten(qGreen(pixel)), brighten(qBlue(pixel)),
                     qAlpha(pixel));
    });
}

} // namespace kolvex::skin
