// Small measurements on decoded pictures shared by the skin tests.
#pragma once

#include <QImage>
#include <QRgb>
#include <cstdlib>
#include <functional>

namespace kolvex::skin::testing {

// Number of pixels for which `test` holds.
inline int countPixels(const QImage& image, const std::function<bool(QRgb)>& test) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            count += test(argb.pixel(x, y)) ? 1 : 0;
    return count;
}

inline int luminance(QRgb pixel) {
    return (30 * qRed(pixel) + 59 * qGreen(pixel) + 11 * qBlue(pixel)) / 100;
}

// Mean absolute difference per channel of two premultiplied pictures of the
// same size, alpha included: what an eye sees of them over any background.
inline double meanDifference(const QImage& a, const QImage& b) {
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    long long sum = 0;
    for (int y = 0; y < pa.height(); ++y) {
        const auto* lineA = reinterpret_cast<const QRgb*>(pa.constScanLine(y));
        const auto* lineB = reinterpret_cast<const QRgb*>(pb.constScanLine(y));
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = lineA[x];
            const QRgb q = lineB[x];
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return static_cast<double>(sum) / (4.0 * pa.width() * pa.height());
}

} // namespace kolvex::skin::testing
