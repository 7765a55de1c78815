// Pixel measurements shared by the control tests.
#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>
#include <algorithm>
#include <cstdlib>

namespace kolvex::testing {

// Largest difference of the colour channels of two pixels.
inline int channelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

inline QString describe(QRgb pixel) {
    return QString("rgb(%1, %2, %3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

// The smallest rectangle holding every pixel that differs from `background`
// by more than `tolerance`; empty when none does.
inline QRect changedArea(const QImage& image, QRgb background, int tolerance = 2) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (channelDistance(image.pixel(x, y), background) > tolerance)
                area |= QRect(x, y, 1, 1);
    return area;
}

// Mean absolute difference per colour channel of two images of one size.
inline double meanDifference(const QImage& a, const QImage& b) {
    const QImage pa = a.convertToFormat(QImage::Format_RGB32);
    const QImage pb = b.convertToFormat(QImage::Format_RGB32);
    long long sum = 0;
    for (int y = 0; y < pa.height(); ++y)
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = pa.pixel(x, y);
            const QRgb q = pb.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return static_cast<double>(sum) / (3.0 * pa.width() * pa.height());
}

} // namespace kolvex::testing
