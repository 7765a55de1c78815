// The grey and hover looks recolour each pixel's straight colour and keep
// its alpha.
#include "skin_looks.h"

#include <gtest/gtest.h>

namespace kolvex::skin {
namespace {

struct LookCase {
    QRgb input;
    QRgb grey;
    QRgb hover;
};

TEST(SkinLooks, RecolourEachPixelKeepingAlpha) {
    const LookCase cases[] = {
        // pure red: grey is 0.3 of it; hover clamps red and lifts the others
        {qRgba(255, 0, 0, 255), qRgba(77, 77, 77, 255), qRgba(255, 13, 13, 255)},
        // black still brightens on hover
        {qRgba(0, 0, 0, 255), qRgba(0, 0, 0, 255), qRgba(13, 13, 13, 255)},
        // white: grey keeps it, hover cannot go above full scale
        {qRgba(255, 255, 255, 255), qRgba(255, 255, 255, 255), qRgba(255, 255, 255, 255)},
        // a half-transparent edge pixel is recoloured on its straight colour
        {qRgba(100, 150, 200, 128), qRgba(141, 141, 141, 128), qRgba(118, 170, 223, 128)},
        // fully transparent stays transparent
        {qRgba(40, 80, 120, 0), qRgba(72, 72, 72, 0), qRgba(55, 97, 139, 0)},
    };
    for (const LookCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.input);
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, c.input);
        image.setPixel(1, 0, c.input);
        EXPECT_EQ(greyLook(image).pixel(1, 0), c.grey);
        EXPECT_EQ(hoverLook(image).pixel(1, 0), c.hover);
    }
}

TEST(SkinLooks, KeepSizeAndAcceptPremultipliedPictures) {
    QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(50, 25, 0, 128)); // premultiplied: straight (100, 50, 0)
    const QImage grey = greyLook(image);
    EXPECT_EQ(grey.size(), image.size());
    EXPECT_EQ(grey.convertToFormat(QImage::Format_ARGB32).pixel(2, 1), qRgba(60, 60, 60, 128));
}

} // namespace
} // namespace kolvex::skin
