// The speed read-out, the compass and the status board: their strings,
// the card each heading shows, and what they paint.
#include "pixel_checks.h"
#include "png_compass_static.h"
#include "skin_image.h"
#include "skin_looks.h"
#include "speed_label_static.h"
#include "status_board_static.h"

#include <QPainter>
#include <QTest>

using namespace kolvex;
using kolvex::testing::changedArea;
using kolvex::testing::channelDistance;
using kolvex::testing::meanDifference;

namespace {

constexpr QRgb kSurface = qRgb(5, 5, 5);
constexpr int kFirstCard = 167;

// The widget painted over black, as the window's background would be.
QImage Painted(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QImage OverBlack(const QImage& picture, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(image.rect(), picture);
    return image;
}

void AddCards(CPngCompassStatic& compass) {
    for (int id = kFirstCard; id < kFirstCard + 8; ++id)
        QVERIFY(compass.AddImage(id));
}

} // namespace

class InstrumentsTest : public QObject {
    Q_OBJECT

private slots:
    void speedStringsInBothUnits_data() {
        QTest::addColumn<int>("kmh");
        QTest::addColumn<QString>("inKmh");
        QTest::addColumn<QString>("inMph");
        QTest::newRow("100") << 100 << "100"
                             << " 62";
        QTest::newRow("1") << 1 << "  1"
                           << "  0";
        QTest::newRow("0") << 0 << "  0"
                           << "  0";
        QTest::newRow("four digits") << 1600 << "1600"
                                     << "1000";
    }
    void speedStringsInBothUnits() {
        QFETCH(int, kmh);
        QFETCH(QString, inKmh);
        QFETCH(QString, inMph);
        CSpeedLabelStatic speed;
        speed.SetSpeed(true, static_cast<uint16_t>(kmh));
        QCOMPARE(speed.m_strSpeed, inKmh);
        QCOMPARE(speed.m_strUnit, QString("Km/h"));
        speed.ToggleUnit();
        QCOMPARE(speed.m_strSpeed, inMph);
        QCOMPARE(speed.m_strUnit, QString("MPH"));
    }

    void speedIsDrawnOnlyWithAFix() {
        CSpeedLabelStatic speed;
        speed.resize(100, 32);
        speed.SetSpeed(true, 100);
        const QImage kmh = Painted(speed);
        QVERIFY(!changedArea(kmh, kSurface, 8).isEmpty());
        speed.ToggleUnit();
        const QImage mph = Painted(speed);
        QVERIFY(meanDifference(kmh, mph) > 1.0);
        QVERIFY(kmh.save(QString(KOLVEX_SCREENSHOT_DIR) + "/speed_kmh.png"));
        QVERIFY(mph.save(QString(KOLVEX_SCREENSHOT_DIR) + "/speed_mph.png"));
        // The unit's text starts at x 40, the number's at x 0.
        QVERIFY(!changedArea(mph.copy(40, 18, 60, 14), kSurface, 40).isEmpty());
        speed.SetSpeed(false, 100);
        QCOMPARE(changedArea(Painted(speed), kSurface, 0), QRect());
    }

    void speedUnitSwitchesByMouse() {
        CSpeedLabelStatic speed;
        speed.resize(100, 32);
        speed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&speed));
        speed.SetSpeed(true, 100);
        QTest::mouseClick(&speed, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(speed.m_strUnit, QString("MPH"));
        // Released outside: no switch.
        QTest::mousePress(&speed, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&speed, Qt::LeftButton, {}, QPoint(150, 10));
        QCOMPARE(speed.m_strUnit, QString("MPH"));
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(10, 10), QPointF(10, 10),
                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&speed, &doubleClick);
        QCOMPARE(speed.m_strUnit, QString("Km/h"));
        QVERIFY(doubleClick.isAccepted());
    }

    void headingChoosesTheCard_data() {
        QTest::addColumn<int>("heading");
        QTest::addColumn<unsigned>("image");
        QTest::newRow("0") << 0 << 1u;
        QTest::newRow("22") << 22 << 1u;
        QTest::newRow("23") << 23 << 8u;
        QTest::newRow("45") << 45 << 8u;
        QTest::newRow("90") << 90 << 7u;
        QTest::newRow("180") << 180 << 5u;
        QTest::newRow("337") << 337 << 2u;
        QTest::newRow("338") << 338 << 1u;
        QTest::newRow("359") << 359 << 1u;
        QTest::newRow("360") << 360 << 1u;
        QTest::newRow("-360") << -360 << 1u;
        QTest::newRow("-90") << -90 << 3u;
    }
    void headingChoosesTheCard() {
        QFETCH(int, heading);
        QFETCH(unsigned, image);
        CPngCompassStatic compass;
        compass.resize(48, 48);
        AddCards(compass);
        compass.SetHeading(heading);
        QCOMPARE(compass.m_nImage, image);
        // The card is painted as it is, at its own size.
        const QImage expected = OverBlack(skin::loadImage(kFirstCard + int(image) - 1), {48, 48});
        QVERIFY(meanDifference(Painted(compass), expected) < 1.0);
    }

    void withoutAFixTheCardIsGrey() {
        CPngCompassStatic compass;
        compass.resize(48, 48);
        AddCards(compass);
        compass.SetHeading(90);
        QVERIFY(compass.SetImage(0));
        const QImage grey = Painted(compass);
        const QImage expected = OverBlack(skin::greyLook(skin::loadImage(kFirstCard)), {48, 48});
        QVERIFY(meanDifference(grey, expected) < 1.0);
        int coloured = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                const QRgb p = grey.pixel(x, y);
                coloured += (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) ? 1 : 0;
            }
        QCOMPARE(coloured, 0);
        QVERIFY(!changedArea(grey, qRgb(0, 0, 0)).isEmpty());
        // Nine is beyond the eight cards: refused, the card stays.
        QVERIFY(!compass.SetImage(9));
        QCOMPARE(compass.m_nImage, 0u);
    }

    void aCompassWithoutCardsDrawsNothing() {
        CPngCompassStatic compass;
        compass.resize(48, 48);
        QVERIFY(!compass.AddImage(99999));
        compass.SetHeading(90);
        QCOMPARE(compass.m_nImage, 0u);
        QCOMPARE(changedArea(Painted(compass), qRgb(0, 0, 0), 0), QRect());
    }

    void statusBoardFillsItsShare_data() {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("barId");
        QTest::addColumn<int>("filledUpTo"); // first x of the rest
        QTest::newRow("0") << 0 << 189 << 0;
        QTest::newRow("50 tiled") << 50 << 189 << 100;
        QTest::newRow("100 tiled") << 100 << 189 << 200;
        QTest::newRow("50 plain") << 50 << 0 << 100;
    }
    void statusBoardFillsItsShare() {
        QFETCH(int, percent);
        QFETCH(int, barId);
        QFETCH(int, filledUpTo);
        CStatusBoardStatic board;
        board.resize(200, 30);
        board.m_nBarBitmapId = barId;
        board.m_crBar = QColor(0, 200, 0);
        board.SetProgress(percent, QStringLiteral("%1 %").arg(percent));
        const QImage image = Painted(board);
        const QImage tile = skin::loadImage(189).convertToFormat(QImage::Format_RGB32);
        // Row 15, inside the raised edge, left and right of the split.
        for (int x = 3; x < 197; x += 7) {
            const QRgb p = image.pixel(x, 15);
            if (x >= filledUpTo || std::abs(x - 100) < 24)
                continue; // the rest, and the centred text
            if (barId == 0)
                QCOMPARE(p, qRgb(0, 200, 0));
            else
                QCOMPARE(p, tile.pixel(x % 30, 15));
        }
        // The unfilled part: the background, except where the text lies.
        if (filledUpTo < 180)
            QCOMPARE(image.pixel(190, 15), kSurface);
        // The raised edge: light top-left, dark bottom-right.
        QVERIFY(qGray(image.pixel(0, 0)) > qGray(image.pixel(199, 29)));
    }
};

QTEST_MAIN(InstrumentsTest)
#include "instruments_test.moc"
