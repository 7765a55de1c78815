// The three outlined-text styles drawn on an image: the fills' colours row by
// row inside a letter, the outline and glow passes beside it, where the text
// stands, and the fonts behind the family names.
#include "outlined_text.h"
#include "pixel_checks.h"
#include "text_fonts.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <functional>

using namespace kolvex;
using kolvex::testing::changedArea;
using kolvex::testing::channelDistance;
using kolvex::testing::describe;

namespace {

// A straight (not premultiplied) colour with channels 0..255.
struct Colour {
    double a, r, g, b;
};

// A repeating vertical gradient as the styles define it.
struct Fill {
    double y0, y1;
    Colour from, to;

    Colour at(double y) const {
        double t = (y - y0) / (y1 - y0);
        t -= std::floor(t);
        const auto mix = [t](double p, double q) { return p + (q - p) * t; };
        return {mix(from.a, to.a), mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)};
    }
    // How far `y` lies from the nearest place where the colour jumps back.
    double distanceToWrap(double y) const {
        const double period = y1 - y0;
        double offset = std::fmod(y - y0, period);
        if (offset < 0)
            offset += period;
        return std::min(offset, period - offset);
    }
};

struct Rgb {
    double r = 0, g = 0, b = 0;

    // `colour` laid over this with the given pixel coverage.
    Rgb over(const Colour& colour, double coverage = 1.0) const {
        const double a = colour.a / 255.0 * coverage;
        return {r * (1 - a) + colour.r * a, g * (1 - a) + colour.g * a, b * (1 - a) + colour.b * a};
    }
    QRgb rgb() const { return qRgb(int(std::lround(r)), int(std::lround(g)), int(std::lround(b))); }
};

using Draw = std::function<void(QPainter&, const QString&, int emSize)>;

// What each style is meant to look like, written out independently of the
// drawing code.
struct Style {
    const char* name;
    const char* family;
    QPoint origin;
    Draw draw;
    Colour glow;
    Fill first;
    Fill second;
};

const Colour kOutline{155, 215, 215, 215};

const std::vector<Style>& Styles() {
    static const std::vector<Style> styles{
        {"title",
         kArialBlackFamily,
         {50, 4},
         [](QPainter& p, const QString& t, int em) { DrawOutlinedTitle(p, t, em); },
         {62, 0, 2, 2},
         {0, 90, {200, 0, 0, 240}, {255, 30, 120, 195}},
         {10, 60, {255, 255, 255, 255}, {15, 1, 1, 1}}},
        {"read-out",
         kArialFamily,
         {20, 10},
         [](QPainter& p, const QString& t, int em) { DrawOutlinedReadout(p, t, 20, 10, em); },
         {80, 160, 80, 2},
         {0, 90, {200, 190, 220, 24}, {255, 195, 120, 0}},
         {10, 40, {255, 255, 188, 0}, {150, 255, 1, 1}}},
        {"caption",
         kArialFamily,
         {10, 10},
         [](QPainter& p, const QString& t, int em) { DrawOutlinedCaption(p, t, 10, em); },
         {80, 10, 150, 220},
         {0, 90, {200, 20, 120, 240}, {255, 20, 120, 240}},
         {10, 120, {255, 80, 188, 250}, {150, 80, 80, 155}}},
    };
    return styles;
}

QImage Drawn(const Style& style, const QString& text, int emSize, QSize size = {260, 220}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    style.draw(painter, text, emSize);
    return image;
}

// Part of a pixel's width, centred `distance` from a straight edge, that a
// pen of `width` centred on that edge covers.
double PenCoverage(double distance, double width) {
    const double low = std::max(distance - 0.5, -width / 2);
    const double high = std::min(distance + 0.5, width / 2);
    return std::clamp(high - low, 0.0, 1.0);
}

constexpr int kTolerance = 5; // rounding of coverage and blending
constexpr int kLetterEm = 150;

} // namespace

class OutlinedTextTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void fontsStandInForTheDesignedFamilies() {
        const QFontInfo arial(StyleFont(kArialFamily, 40));
        QCOMPARE(arial.family(), QString("Liberation Sans"));
        QCOMPARE(arial.weight(), int(QFont::Normal));
        QCOMPARE(arial.pixelSize(), 40);

        const QFontInfo black(StyleFont(kArialBlackFamily, 40));
        QVERIFY2(black.family().startsWith("Lato"), qPrintable(black.family()));
        QCOMPARE(black.weight(), int(QFont::Black));

        // The window's own fonts ask by the designed name, too.
        QFont asked(kArialFamily);
        asked.setPixelSize(20);
        QCOMPARE(QFontInfo(asked).family(), QString("Liberation Sans"));
    }

    // Deep inside a letter only the two fills show: the first over the
    // background, the second over it, each at the colour its gradient has at
    // that row, repeating beyond its end points.
    void fillsFollowTheirGradientsRowByRow_data() {
        QTest::addColumn<int>("style");
        for (int i = 0; i < int(Styles().size()); ++i)
            QTest::newRow(Styles()[i].name) << i;
    }
    void fillsFollowTheirGradientsRowByRow() {
        QFETCH(int, style);
        const Style& s = Styles()[style];
        const QImage image = Drawn(s, "I", kLetterEm);
        const QRectF letter = OutlinedTextPath(s.family, kLetterEm, s.origin, "I").boundingRect();
        QVERIFY2(letter.width() >= 12, "the stem must be wide enough to have an inside");
        const int x = int(letter.center().x());

        int rows = 0;
        bool crossedWrap = false;
        double previous = -1;
        for (int y = int(letter.top()) + 6; y < int(letter.bottom()) - 6; ++y) {
            const double centre = y + 0.5;
            if (s.second.distanceToWrap(centre) < 1.5 || s.first.distanceToWrap(centre) < 1.5)
                continue;
            const Rgb expected = Rgb{}.over(s.first.at(centre)).over(s.second.at(centre));
            const QRgb actual = image.pixel(x, y);
            QVERIFY2(channelDistance(actual, expected.rgb()) <= kTolerance,
                     qPrintable(QString("row %1: %2, expected %3")
                                    .arg(y)
                                    .arg(describe(actual), describe(expected.rgb()))));
            const double offset = std::fmod(centre - s.second.y0, s.second.y1 - s.second.y0);
            crossedWrap |= previous >= 0 && offset < previous;
            previous = offset;
            ++rows;
        }
        QVERIFY(rows > 60);
        QVERIFY2(crossedWrap, "the sampled rows must reach past the second fill's end");
    }

    // Beside a straight edge: the light outline of width 3, then the glow,
    // eight passes of widths 1 to 8 over one another, fading out 4 px away.
    void outlineAndGlowBesideAnEdge_data() { fillsFollowTheirGradientsRowByRow_data(); }
    void outlineAndGlowBesideAnEdge() {
        QFETCH(int, style);
        const Style& s = Styles()[style];
        const QImage image = Drawn(s, "I", kLetterEm);
        const QRectF letter = OutlinedTextPath(s.family, kLetterEm, s.origin, "I").boundingRect();
        const double edge = letter.right();
        const int y = int(letter.center().y());

        for (int x = int(std::ceil(edge)); x < int(edge) + 8; ++x) {
            const double distance = x + 0.5 - edge;
            Rgb expected = Rgb{}.over(kOutline, PenCoverage(distance, 3));
            for (int width = 1; width <= 8; ++width)
                expected = expected.over(s.glow, PenCoverage(distance, width));
            const QRgb actual = image.pixel(x, y);
            QVERIFY2(channelDistance(actual, expected.rgb()) <= kTolerance,
                     qPrintable(QString("%1 px beside the edge: %2, expected %3")
                                    .arg(distance)
                                    .arg(describe(actual), describe(expected.rgb()))));
        }
    }

    // The origin is the top-left corner of the line, not its baseline.
    void textStandsBelowAndRightOfItsOrigin_data() { fillsFollowTheirGradientsRowByRow_data(); }
    void textStandsBelowAndRightOfItsOrigin() {
        QFETCH(int, style);
        const Style& s = Styles()[style];
        const int em = 40;
        const QRect ink = changedArea(Drawn(s, "Hx", em), qRgb(0, 0, 0));
        QVERIFY(!ink.isEmpty());
        const int glow = 5;
        QVERIFY2(ink.top() >= s.origin.y() - glow && ink.top() <= s.origin.y() + em / 2,
                 qPrintable(QString("top %1").arg(ink.top())));
        QVERIFY2(ink.left() >= s.origin.x() - glow && ink.left() <= s.origin.x() + em / 2,
                 qPrintable(QString("left %1").arg(ink.left())));
        QVERIFY2(ink.bottom() <= s.origin.y() + em + glow,
                 qPrintable(QString("bottom %1").arg(ink.bottom())));
    }

    // The baseline lies where the designed family put it below the line's
    // top, whatever the stand-in font's own line metrics say.
    void baselineFollowsTheDesignedFamily() {
        const QRectF title = OutlinedTextPath(kArialBlackFamily, 100, {0, 0}, "H").boundingRect();
        QVERIFY2(std::abs(title.bottom() - 110.06) < 0.6,
                 qPrintable(QString::number(title.bottom())));
        const QRectF text = OutlinedTextPath(kArialFamily, 100, {0, 7}, "H").boundingRect();
        QVERIFY2(std::abs(text.bottom() - 7 - 90.53) < 0.6,
                 qPrintable(QString::number(text.bottom())));
    }

    void emptyTextDrawsNothing() {
        for (const Style& s : Styles()) {
            const QImage image = Drawn(s, QString(), 40);
            QVERIFY2(changedArea(image, qRgb(0, 0, 0), 0).isEmpty(), s.name);
        }
    }

    void anInactivePainterIsReported() {
        QPainter idle;
        QVERIFY(!DrawOutlinedTitle(idle, "Kolvex", 20));
        QImage image(10, 10, QImage::Format_RGB32);
        QPainter active(&image);
        QVERIFY(DrawOutlinedCaption(active, "1", 10, 8));
        QVERIFY(active.testRenderHint(QPainter::Antialiasing));
    }

    void longTextsAreCut() {
        const QString text(200, QChar('x'));
        const QRectF cut = OutlinedTextPath(kArialFamily, 10, {0, 0}, text).boundingRect();
        const QRectF limit =
            OutlinedTextPath(kArialFamily, 10, {0, 0}, text.left(kOutlinedTextMaxLength))
                .boundingRect();
        QCOMPARE(cut, limit);
    }
};

QTEST_MAIN(OutlinedTextTest)
#include "outlined_text_test.moc"
