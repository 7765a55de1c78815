// The G-sensor graph painted into images: where the curves lie for known
// raw samples, the scrolling window, the empty graph, the stopped graph and
// the legend's clicks.
#include "gsensor_ctrl.h"
#include "pixel_checks.h"

#include <QPainter>
#include <QTest>
#include <vector>

using namespace kolvex;
using kolvex::testing::channelDistance;
using kolvex::testing::describe;

namespace {

// 326 x 120 pixels: a plot 300 pixels wide from x 24, rows 20..111, the
// middle at row 66 and 92 rows tall.
constexpr int kWidth = 326;
constexpr int kHeight = 120;
constexpr int kLeft = 24;
constexpr int kTop = 20;
constexpr int kMid = 66;
constexpr QRgb kX = qRgb(255, 255, 0);
constexpr QRgb kY = qRgb(60, 255, 60);
constexpr QRgb kZ = qRgb(255, 60, 60);
constexpr QRgb kCursor = qRgb(0, 0, 255);
constexpr QRgb kTick = qRgb(102, 102, 102);

// Fills the graph as the loader does: 10 samples a second, 100 ms a pixel.
void Load(CGSensorCtrl& graph, double rawScale, const std::vector<int8_t>& samples) {
    graph.ClearSamples();
    graph.SetScale(rawScale, 2.0);
    graph.AppendSamples(static_cast<int>(samples.size() / 3), samples.data());
    graph.UpdateTimeScale();
    graph.SetSamplesPerMs(0.01);
    graph.UpdateTimeScale();
    graph.SetPixelsPerMs(0.01);
    graph.UpdateTimeScale();
    graph.SetTimeScaleMode(CGSensorCtrl::kPixelScale);
}

std::vector<int8_t> Constant(int count, int8_t x, int8_t y, int8_t z) {
    std::vector<int8_t> samples;
    for (int i = 0; i < count; ++i)
        samples.insert(samples.end(), {x, y, z});
    return samples;
}

QImage Painted(CGSensorCtrl& graph) {
    QImage image(graph.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    graph.PaintTo(painter);
    return image;
}

// The rows of column `x` that show `colour`.
QList<int> RowsOf(const QImage& image, int x, QRgb colour, int fromRow = kTop - 1,
                  int toRow = kHeight - 1) {
    QList<int> rows;
    for (int y = fromRow; y <= toRow; ++y)
        if (channelDistance(image.pixel(x, y), colour) <= 8)
            rows.append(y);
    return rows;
}

int CountIn(const QImage& image, const QRect& area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += channelDistance(image.pixel(x, y), colour) <= 8 ? 1 : 0;
    return count;
}

// Pixels of equal channels at least `floor` bright: anti-aliased text of a
// grey or white colour.
int GreyTextPixels(const QImage& image, const QRect& area, int floor) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) >= floor ? 1 : 0;
        }
    return count;
}

} // namespace

class GSensorTest : public QObject {
    Q_OBJECT

private slots:
    void curvesLieWhereTheSamplesSay_data() {
        QTest::addColumn<double>("rawScale");
        QTest::addColumn<QList<int>>("raw");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("legendX");
        // Row = trunc(66 - g * 92 / 4), g = raw * scale / 128, held to +-2 G.
        QTest::newRow("1 G, -0.5 G, 0 G")
            << 2.0 << QList<int>{64, -32, 0} << QList<int>{43, 77, 66} << "X: 1.0000 G    ";
        QTest::newRow("clipped at both lines")
            << 4.0 << QList<int>{127, -128, 16} << QList<int>{kTop, 112, 54} << "X: 3.9688 G    ";
    }
    void curvesLieWhereTheSamplesSay() {
        QFETCH(double, rawScale);
        QFETCH(QList<int>, raw);
        QFETCH(QList<int>, rows);
        QFETCH(QString, legendX);
        CGSensorCtrl graph;
        graph.resize(kWidth, kHeight);
        Load(graph, rawScale,
             Constant(600, static_cast<int8_t>(raw[0]), static_cast<int8_t>(raw[1]),
                      static_cast<int8_t>(raw[2])));
        graph.SetCurrentTime(1000);
        const QImage image = Painted(graph);
        const QRgb colours[3] = {kX, kY, kZ};
        for (int axis = 0; axis < 3; ++axis)
            QCOMPARE(RowsOf(image, kLeft + 150, colours[axis]), QList<int>{rows[axis]});
        // The legend shows the value the curve was held from.
        QCOMPARE(graph.LegendText(0), legendX);
    }

    void theWindowScrollsWithTheCursor_data() {
        QTest::addColumn<int>("timeMs");
        QTest::addColumn<double>("windowStartMs");
        QTest::addColumn<int>("cursorX");
        // 300 pixels show 30 s; the data lasts 60 s.
        QTest::newRow("10 s: from the start") << 10000 << 0.0 << kLeft + 100;
        QTest::newRow("30 s: cursor in the middle") << 30000 << 15000.0 << kLeft + 150;
        QTest::newRow("50 s: held at the end") << 50000 << 30000.0 << kLeft + 200;
        QTest::newRow("past the end") << 90000 << 30000.0 << kLeft + 300;
        QTest::newRow("before the start") << -5000 << 0.0 << kLeft;
    }
    void theWindowScrollsWithTheCursor() {
        QFETCH(int, timeMs);
        QFETCH(double, windowStartMs);
        QFETCH(int, cursorX);
        // X climbs one raw unit a second, so a column tells its time.
        std::vector<int8_t> samples;
        for (int n = 0; n < 600; ++n)
            samples.insert(samples.end(), {static_cast<int8_t>(n / 10), 0, 0});
        CGSensorCtrl graph;
        graph.resize(kWidth, kHeight);
        Load(graph, 64.0, samples); // half a G per raw unit: 11.5 rows
        graph.SetCurrentTime(timeMs);
        QCOMPARE(graph.m_dWindowStartMs, windowStartMs);

        const QImage image = Painted(graph);
        QVERIFY2(!RowsOf(image, cursorX, kCursor).isEmpty() ||
                     !RowsOf(image, cursorX - 1, kCursor).isEmpty(),
                 qPrintable(QString("no cursor at x %1").arg(cursorX)));
        // Column 15 shows the sample 1.5 s after the window's start,
        // clipped at 2 G from 4 raw units on.
        const int second = static_cast<int>(windowStartMs / 1000) + 1;
        const double g = std::min(second * 0.5, 2.0);
        const int row = static_cast<int>(kMid - g * 23);
        QCOMPARE(RowsOf(image, kLeft + 15, kX), QList<int>{row});
    }

    void theEmptyGraphShowsItsFrameAndAGreyedLegend() {
        CGSensorCtrl graph;
        graph.resize(kWidth, kHeight);
        graph.SetCurrentTime(0);
        const QImage image = Painted(graph);

        // 20 s at 200 ms: 100 ticks, 3 pixels apart, reaching up to the
        // middle line; the first lies under the cursor.
        QCOMPARE(CountIn(image, QRect(kLeft + 2, kMid - 1, 298, 1), kTick), 99);
        // Long ticks every tenth, middle ones at the fifth.
        QCOMPARE(RowsOf(image, kLeft + 30, kTick, kMid - 8, kMid - 1).size(), 6);
        QCOMPARE(RowsOf(image, kLeft + 15, kTick, kMid - 8, kMid - 1).size(), 4);
        QCOMPARE(RowsOf(image, kLeft + 3, kTick, kMid - 8, kMid - 1).size(), 2);
        QVERIFY(channelDistance(image.pixel(kLeft + 100, kMid), qRgb(255, 255, 255)) <= 8);
        QVERIFY(!RowsOf(image, kLeft, kCursor).isEmpty() ||
                !RowsOf(image, kLeft - 1, kCursor).isEmpty());
        for (int axis = 0; axis < 3; ++axis)
            QCOMPARE(graph.LegendText(axis), QString("%1: 0.0000 G    ").arg("XYZ"[axis]));
        // Greyed: no axis colour anywhere, the entries not shifted.
        QCOMPARE(CountIn(image, image.rect(), kX) + CountIn(image, image.rect(), kY) +
                     CountIn(image, image.rect(), kZ),
                 0);
        QCOMPARE(graph.m_rcLegend[0].topLeft(), QPoint(40, 2));
        QVERIFY(image.save(QString(KOLVEX_SCREENSHOT_DIR) + "/gsensor_empty.png"));
        // Grey text: no brighter than 160; the scale labels left of the axis
        // are white.
        QVERIFY(GreyTextPixels(image, graph.m_rcLegend[0], 100) > 10);
        QCOMPARE(GreyTextPixels(image, graph.m_rcLegend[0], 161), 0);
        QVERIFY(GreyTextPixels(image, QRect(0, 20, kLeft - 2, 80), 200) > 10);
    }

    void aStoppedGraphDrawsNoCurves() {
        CGSensorCtrl graph;
        graph.resize(kWidth, kHeight);
        Load(graph, 2.0, Constant(600, 64, -32, 16));
        graph.SetCurrentTime(1000);
        graph.SetStopped(true);
        const QImage image = Painted(graph);
        QCOMPARE(CountIn(image, image.rect(), kX) + CountIn(image, image.rect(), kY) +
                     CountIn(image, image.rect(), kZ),
                 0);
        QCOMPARE(graph.m_rcLegend[1].topLeft().y(), 2);
    }

    void aLegendClickSwitchesItsCurve() {
        CGSensorCtrl graph;
        graph.resize(kWidth, kHeight);
        Load(graph, 2.0, Constant(600, 64, -32, 16));
        graph.SetCurrentTime(1000);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        Painted(graph);
        const QRect entry = graph.m_rcLegend[0];
        QCOMPARE(entry.topLeft(), QPoint(41, 3)); // active: one pixel right and down

        QTest::mouseClick(&graph, Qt::LeftButton, {}, entry.center());
        QCOMPARE(graph.m_bShowAxis[0], 0);
        QImage image = Painted(graph);
        QCOMPARE(CountIn(image, image.rect(), kX), 0);
        QVERIFY(CountIn(image, image.rect(), kY) > 290);
        QCOMPARE(graph.m_rcLegend[0].topLeft(), QPoint(40, 2));

        // A click beside the entries changes nothing; the entry brings it back.
        QTest::mouseClick(&graph, Qt::LeftButton, {}, QPoint(kLeft + 100, 80));
        QCOMPARE(graph.m_bShowAxis, (std::array<int, 3>{0, 1, 1}));
        QTest::mouseClick(&graph, Qt::LeftButton, {}, graph.m_rcLegend[0].center());
        QCOMPARE(graph.m_bShowAxis[0], 1);
        image = Painted(graph);
        QVERIFY(CountIn(image, image.rect(), kX) > 290);
    }

    void aZeroScaleMeansEightG() {
        CGSensorCtrl graph;
        graph.SetScale(0, 0);
        QCOMPARE(graph.m_dRawScale, 8.0);
        QCOMPARE(graph.m_dMaxG, 8.0);
    }
};

QTEST_MAIN(GSensorTest)
#include "gsensor_test.moc"
