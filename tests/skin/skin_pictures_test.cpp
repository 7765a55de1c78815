// Every picture the window asks for exists at the size its control expects,
// decodes, and shows what its control needs.
#include "image_checks.h"
#include "skin_image.h"
#include "skin_looks.h"
#include "skin_table.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <algorithm>
#include <set>
#include <vector>

namespace kolvex::skin {
namespace {

using testing::countPixels;
using testing::luminance;

struct Expected {
    int id;
    int width;
    int height;
};

// The window's own list of pictures and the sizes its controls were laid
// out for; written out here rather than read from the skin's table, so that a
// row lost from or mistyped in that table fails.
const std::vector<Expected> kWindowPictures = {
    // transport buttons
    {129, 64, 64},
    {132, 64, 64},
    {133, 64, 64},
    {137, 64, 64},
    {136, 64, 64},
    // file buttons
    {138, 64, 48},
    {142, 64, 48},
    {141, 64, 48},
    {140, 64, 48},
    {139, 64, 48},
    // right-hand buttons
    {143, 32, 32},
    {176, 32, 32},
    {145, 32, 32},
    {146, 32, 32},
    {147, 32, 32},
    {148, 32, 32},
    // window buttons
    {151, 32, 32},
    {152, 32, 32},
    {153, 32, 32},
    {154, 32, 32},
    // sound on and off
    {156, 24, 44},
    {155, 24, 44},
    // window sizes
    {1045, 16, 16},
    {187, 16, 16},
    {188, 16, 16},
    // pictures
    {150, 32, 32},
    {157, 64, 64},
    {158, 96, 24},
    {161, 32, 32},
    {189, 30, 30},
    {196, 733, 412},
    {197, 320, 240},
    {128, 256, 256},
    // compass cards
    {167, 48, 48},
    {168, 48, 48},
    {169, 48, 48},
    {170, 48, 48},
    {171, 48, 48},
    {172, 48, 48},
    {173, 48, 48},
    {174, 48, 48}};

const std::set<int> kButtonIds = {129, 132, 133, 137, 136, 138, 142, 141, 140, 139,  143, 176, 145,
                                  146, 147, 148, 151, 152, 153, 154, 156, 155, 1045, 187, 188};

TEST(SkinPictures, EveryPictureOfTheWindowDecodesAtItsSize) {
    for (const Expected& expected : kWindowPictures) {
        SCOPED_TRACE(expected.id);
        const SkinPicture* picture = findPicture(expected.id);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->width, expected.width);
        EXPECT_EQ(picture->height, expected.height);
        EXPECT_TRUE(picture->path.starts_with(":/skin/" + std::to_string(expected.id) + "-"))
            << picture->path;

        const QImage image = loadImage(expected.id);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(expected.width, expected.height));
    }
}

TEST(SkinPictures, TableHoldsNoOtherIdsAndNoIdTwice) {
    std::multiset<int> inTable;
    for (const SkinPicture& picture : pictures())
        inTable.insert(picture.id);
    std::multiset<int> expected;
    for (const Expected& picture : kWindowPictures)
        expected.insert(picture.id);
    EXPECT_EQ(inTable, expected);
}

TEST(SkinPictures, UnknownIdsGiveNothingRatherThanAnotherPicture) {
    for (int id : {0, -1, 130, 1046, 198}) {
        EXPECT_EQ(findPicture(id), nullptr) << id;
        EXPECT_TRUE(resourcePath(id).isEmpty()) << id;
        EXPECT_TRUE(loadImage(id).isNull()) << id;
    }
}

TEST(SkinPictures, ButtonsCarryTheirLooksAndShowAGlyph) {
    for (int id : kButtonIds) {
        SCOPED_TRACE(id);
        const SkinPicture* picture = findPicture(id);
        ASSERT_NE(picture, nullptr);
        EXPECT_TRUE(picture->looks & HoverLook);
        EXPECT_TRUE(picture->looks & GreyLook);
        // A glyph that stands out of the dark plate, and transparent corners
        // so that the skin behind the button shows.
        const QImage image = loadImage(id);
        EXPECT_GT(countPixels(image, [](QRgb p) { return qAlpha(p) == 255 && luminance(p) > 110; }),
                  4);
        EXPECT_LT(qAlpha(image.pixel(0, 0)), 128);
    }
}

TEST(SkinPictures, ToggleButtonsShowTwoDifferentPictures) {
    for (auto [standard, alternate] : {std::pair{129, 132}, {143, 176}, {156, 155}}) {
        EXPECT_GT(testing::meanDifference(loadImage(standard), loadImage(alternate)), 2.0)
            << standard << " / " << alternate;
    }
}

TEST(SkinPictures, BitmapsAreFullyOpaque) {
    for (int id : {161, 189, 196, 197}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(findPicture(id)->looks & Opaque);
        EXPECT_EQ(countPixels(loadImage(id), [](QRgb p) { return qAlpha(p) != 255; }), 0);
    }
}

TEST(SkinPictures, PlayingPictureIsBlack) {
    EXPECT_EQ(countPixels(loadImage(197), [](QRgb p) { return (p & 0xFFFFFF) != 0; }), 0);
}

TEST(SkinPictures, IdlePictureIsWhiteLineArtOnBlack) {
    const QImage idle = loadImage(196);
    const int area = idle.width() * idle.height();
    const int black = countPixels(idle, [](QRgb p) { return luminance(p) < 8; });
    const int white = countPixels(idle, [](QRgb p) { return luminance(p) > 200; });
    const int coloured = countPixels(idle, [](QRgb p) {
        return std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)}) >
               12;
    });
    EXPECT_GT(black, area * 80 / 100);
    EXPECT_GT(white, area / 200);
    EXPECT_EQ(coloured, 0);
}

TEST(SkinPictures, StatusBarTileIsAVerticalBlueGradient) {
    const QImage tile = loadImage(189);
    for (int y = 0; y < tile.height(); ++y) {
        SCOPED_TRACE(y);
        const QRgb first = tile.pixel(0, y);
        // Tiled sideways across the bar: every row one colour.
        EXPECT_EQ(countPixels(tile.copy(0, y, tile.width(), 1), [&](QRgb p) { return p != first; }),
                  0);
        EXPECT_GT(qBlue(first), qRed(first));
        EXPECT_GE(qBlue(first), qGreen(first));
    }
    EXPECT_GT(luminance(tile.pixel(0, 0)), luminance(tile.pixel(0, tile.height() - 1)) + 40);
}

TEST(SkinPictures, LockStripHasAnEmptyCellThenThreeDifferentPadlocks) {
    const QImage strip = loadImage(158);
    ASSERT_EQ(strip.size(), QSize(96, 24));
    std::vector<QImage> cells;
    for (int cell = 0; cell < 4; ++cell)
        cells.push_back(strip.copy(cell * 24, 0, 24, 24));
    EXPECT_EQ(countPixels(cells[0], [](QRgb p) { return qAlpha(p) != 0; }), 0);
    for (int cell = 1; cell < 4; ++cell) {
        SCOPED_TRACE(cell);
        EXPECT_GT(countPixels(cells[cell], [](QRgb p) { return qAlpha(p) == 255; }), 100);
        // The padlock must not reach the neighbouring cell.
        EXPECT_EQ(countPixels(cells[cell].copy(0, 0, 1, 24), [](QRgb p) { return qAlpha(p) > 64; }),
                  0);
        for (int other = 1; other < cell; ++other)
            EXPECT_GT(testing::meanDifference(cells[cell], cells[other]), 1.0) << other;
    }
}

TEST(SkinPictures, GpsPictureStaysReadableThroughTheGreyMatrix) {
    // Without a fix the picture is drawn grey over the dark skin; its marks
    // must still stand clear of the background.
    const QImage grey = greyLook(loadImage(150));
    const int visible =
        countPixels(grey, [](QRgb p) { return qAlpha(p) > 200 && luminance(p) > 90; });
    EXPECT_GT(visible, 32 * 32 / 10);
    // And the coloured picture differs visibly from its grey look.
    EXPECT_GT(testing::meanDifference(loadImage(150), grey), 5.0);
}

TEST(SkinPictures, AppIconComesInEveryDesktopSizeSmallestFirst) {
    std::vector<int> sizes;
    for (const SkinPicture& size : appIconSizes()) {
        SCOPED_TRACE(size.width);
        EXPECT_EQ(size.id, 128);
        const QImage image(QString::fromUtf8(size.path.data(), qsizetype(size.path.size())));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(size.width, size.height));
        sizes.push_back(size.width);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 64, 128, 256}));

    const QList<QSize> available = appIcon().availableSizes();
    for (int size : sizes)
        EXPECT_TRUE(available.contains(QSize(size, size))) << size;
}

} // namespace
} // namespace kolvex::skin
