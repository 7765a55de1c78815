// The eight compass cards are one card turned clockwise in 45° steps.
#include "image_checks.h"
#include "skin_image.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTransform>
#include <cmath>

namespace kolvex::skin {
namespace {

constexpr int kFirstCard = 167;

// `card` turned clockwise on screen by `degrees` about its centre.
QImage turned(const QImage& card, int degrees) {
    QImage result(card.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(card.width() / 2.0, card.height() / 2.0);
    painter.translate(centre);
    painter.rotate(degrees); // y points down, so positive angles turn clockwise
    painter.translate(-centre);
    painter.drawImage(0, 0, card);
    painter.end();
    return result;
}

TEST(CompassCards, EachCardIsTheFirstTurnedByItsOwnAngleAndNoOther) {
    const QImage first = loadImage(kFirstCard);
    ASSERT_FALSE(first.isNull());
    for (int card = 0; card < 8; ++card) {
        SCOPED_TRACE(card + 1);
        const QImage image = loadImage(kFirstCard + card);
        ASSERT_EQ(image.size(), first.size());
        double ownError = 0;
        double bestOtherError = 1e9;
        for (int step = 0; step < 8; ++step) {
            const double error = testing::meanDifference(image, turned(first, step * 45));
            if (step == card)
                ownError = error;
            else
                bestOtherError = std::min(bestOtherError, error);
        }
        // Resampling blurs a picture turned by 45° a little; a wrong angle
        // moves the whole needle and every mark on the ring.
        EXPECT_LT(ownError, 6.0);
        EXPECT_LT(ownError * 2, bestOtherError);
    }
}

// Direction, in degrees clockwise from up, from the card's centre to the
// centre of its blue (north needle) pixels.
double needleDirection(const QImage& card) {
    const QImage argb = card.convertToFormat(QImage::Format_ARGB32);
    double sumX = 0;
    double sumY = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = argb.pixel(x, y);
            if (qAlpha(p) > 200 && qBlue(p) > 180 && qRed(p) < 120) {
                sumX += x + 0.5 - argb.width() / 2.0;
                sumY += y + 0.5 - argb.height() / 2.0;
            }
        }
    const double degrees = std::atan2(sumX, -sumY) * 180.0 / M_PI;
    return degrees < 0 ? degrees + 360 : degrees;
}

TEST(CompassCards, NeedleOfCardNPointsClockwiseFromNorthByNMinusOneEighths) {
    for (int card = 0; card < 8; ++card) {
        SCOPED_TRACE(card + 1);
        const double direction = needleDirection(loadImage(kFirstCard + card));
        const double expected = card * 45.0;
        const double off = std::fabs(std::remainder(direction - expected, 360.0));
        EXPECT_LT(off, 3.0) << "needle at " << direction << "°";
    }
}

TEST(CompassCards, QuarterTurnsMatchAlmostPixelForPixel) {
    const QImage first = loadImage(kFirstCard);
    for (int card : {2, 4, 6}) {
        SCOPED_TRACE(card + 1);
        const QImage exact = first.transformed(QTransform().rotate(card * 45));
        EXPECT_LT(testing::meanDifference(loadImage(kFirstCard + card), exact), 1.0);
    }
}

} // namespace
} // namespace kolvex::skin
