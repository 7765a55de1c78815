// The video surface, its frame and the picture static on the offscreen
// platform: what they draw, when they redraw, where a double-click goes,
// and a screenshot of them together (controls_sheet.png in the build
// folder).
#include "control_messages.h"
#include "outlined_text.h"
#include "pixel_checks.h"
#include "png_static.h"
#include "skin_image.h"
#include "skin_looks.h"
#include "video_static.h"
#include "video_static_bg.h"

#include <QPainter>
#include <QTest>
#include <QWidget>
#include <memory>

using namespace kolvex;
using kolvex::testing::changedArea;
using kolvex::testing::channelDistance;
using kolvex::testing::describe;
using kolvex::testing::meanDifference;

namespace {

constexpr int kGpsPicture = 150;
constexpr int kLogoPicture = 157;
constexpr int kIdlePicture = 196;
constexpr QRgb kSurface = qRgb(5, 5, 5);

// Counts the events of one type that reach an object, and notes which other
// types it saw.
class EventLog : public QObject {
public:
    explicit EventLog(QEvent::Type type) : m_type(type) {}
    int count = 0;
    bool lastWasControlMessage = false;

    bool eventFilter(QObject*, QEvent* event) override {
        Record(event);
        return false;
    }
    bool event(QEvent* event) override {
        Record(event);
        return event->type() == m_type || QObject::event(event);
    }

private:
    void Record(QEvent* event) {
        if (event->type() != m_type)
            return;
        ++count;
        const auto* message = dynamic_cast<CControlMessageEvent*>(event);
        lastWasControlMessage = message && message->m_nWParam == 0 && message->m_nLParam == 0;
    }
    QEvent::Type m_type;
};

const auto kToggle = static_cast<QEvent::Type>(WM_TOGGLE_FULLSCREEN);

// A top-level window that records the mouse presses that reach it, as the
// main window's caption dragging would see them.
class Host : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

QImage Grabbed(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void ShowAndWait(QWidget& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

} // namespace

class StaticsTest : public QObject {
    Q_OBJECT

private slots:
    void videoSurfaceIsANativeWindow() {
        QWidget window;
        window.resize(200, 100);
        auto* holder = new QWidget(&window);
        auto* surface = new CVideoStatic(holder);
        auto* sibling = new CPngStatic(holder);
        ShowAndWait(window);
        // The player's window is a window of its own inside the surface.
        QVERIFY(surface->SurfaceWindow() != nullptr);
        QVERIFY(surface->SurfaceWinId() != 0);
        QCOMPARE(surface->SurfaceWinId(), surface->SurfaceWindow()->winId());
        QVERIFY(surface->SurfaceWindow()->isVisible());
        // Only the surface gets a window of its own, not what holds it.
        QVERIFY(!holder->testAttribute(Qt::WA_NativeWindow));
        // Nor do the controls beside it: a native window is opaque, so a
        // picture with transparent parts would lose the window behind it.
        QVERIFY(sibling->internalWinId() == 0);
        QVERIFY(surface->testAttribute(Qt::WA_OpaquePaintEvent));
    }

    void scanCounterIsDrawnAtOnceAndOnlyWhileShown() {
        QWidget window;
        window.resize(420, 140);
        auto* surface = new CVideoStatic(&window);
        surface->setGeometry(0, 0, 420, 140);
        ShowAndWait(window);
        EventLog paints(QEvent::Paint);
        surface->installEventFilter(&paints);

        surface->ShowScanCount(1234);
        QCOMPARE(surface->m_nCounter, 1234);
        QCOMPARE(paints.count, 1); // before any return to the event loop
        QVERIFY(changedArea(Grabbed(*surface), kSurface, 0).isEmpty());

        surface->m_bShowCounter = true;
        paints.count = 0;
        surface->ShowScanCount(1234);
        QCOMPARE(paints.count, 1);
        const QImage many = Grabbed(*surface);
        const QRect digits = changedArea(many, kSurface);
        QVERIFY(!digits.isEmpty());
        // Caption style at (10, 10), em size 72: four digits in a row.
        QVERIFY2(digits.left() >= 5 && digits.left() <= 30,
                 qPrintable(QString::number(digits.left())));
        QVERIFY2(digits.top() >= 5 && digits.bottom() <= 10 + 72 + 5,
                 qPrintable(QString("%1..%2").arg(digits.top()).arg(digits.bottom())));
        QVERIFY(digits.width() > 4 * 72 / 2);
        // The caption's blue, sampled inside the first digit's stroke.
        QRgb brightest = kSurface;
        for (int x = digits.left(); x < digits.left() + 40; ++x)
            for (int y = digits.top(); y <= digits.bottom(); ++y)
                if (qBlue(many.pixel(x, y)) > qBlue(brightest))
                    brightest = many.pixel(x, y);
        QVERIFY2(qBlue(brightest) > 200 && qBlue(brightest) > qRed(brightest) + 60,
                 qPrintable(describe(brightest)));

        surface->ShowScanCount(7);
        QVERIFY(changedArea(Grabbed(*surface), kSurface).width() < digits.width() / 2);
        QVERIFY(channelDistance(Grabbed(*surface).pixel(400, 130), kSurface) == 0);
    }

    // Every surface and frame asks for full screen once per left
    // double-click, at the window it was given or else at its parent; single
    // clicks and other buttons do nothing and do not reach the window either.
    void doubleClickAsksForFullScreenOnce_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("notifyWindowSet");
        QTest::newRow("surface, given window") << 0 << true;
        QTest::newRow("surface, parent") << 0 << false;
        QTest::newRow("frame, given window") << 1 << true;
        QTest::newRow("frame, parent") << 1 << false;
    }
    void doubleClickAsksForFullScreenOnce() {
        QFETCH(int, kind);
        QFETCH(bool, notifyWindowSet);
        Host window;
        window.resize(300, 200);
        QWidget* control = nullptr;
        EventLog notified(kToggle);
        if (kind == 0) {
            auto* surface = new CVideoStatic(&window);
            if (notifyWindowSet)
                surface->SetNotifyWindow(&notified);
            control = surface;
        } else {
            auto* frame = new CVideoStaticBg(&window);
            if (notifyWindowSet)
                frame->SetNotifyWindow(&notified);
            control = frame;
        }
        control->setGeometry(10, 10, 200, 150);
        EventLog atParent(kToggle);
        window.installEventFilter(&atParent);
        ShowAndWait(window);
        EventLog& receiver = notifyWindowSet ? notified : atParent;

        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseDClick(control, Qt::RightButton, {}, QPoint(50, 50));
        QCOMPARE(receiver.count, 0);
        QCOMPARE(window.presses, 0);

        QTest::mouseDClick(control, Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(receiver.count, 1);
        QVERIFY(receiver.lastWasControlMessage);
        QTest::mouseDClick(control, Qt::LeftButton, {}, QPoint(60, 60));
        QCOMPARE(receiver.count, 2);
        QCOMPARE(window.presses, 0);
        if (notifyWindowSet)
            QCOMPARE(atParent.count, 0);
    }

    void frameShowsTheBrandPictureOrBlackAtItsSize() {
        QWidget window;
        window.resize(700, 400);
        auto* frame = new CVideoStaticBg(&window);
        frame->setGeometry(0, 0, 366, 206);
        ShowAndWait(window);
        const QImage brand = skin::loadImage(kIdlePicture);
        QVERIFY(!brand.isNull());

        QCOMPARE(frame->m_bIdle, 1);
        QImage shown = Grabbed(*frame);
        QVERIFY(meanDifference(shown, brand.scaled(shown.size(), Qt::IgnoreAspectRatio,
                                                   Qt::SmoothTransformation)) < 3.0);
        QVERIFY(changedArea(shown, qRgb(0, 0, 0), 60).width() > 366 / 2); // not all black

        EventLog paints(QEvent::Paint);
        frame->installEventFilter(&paints);
        for (int playing : {0, 2}) {
            frame->SetIdle(playing);
            QVERIFY(changedArea(Grabbed(*frame), qRgb(0, 0, 0), 1).isEmpty());
        }
        frame->setGeometry(0, 0, 640, 360);
        paints.count = 0;
        frame->SetIdle(1);
        QCOMPARE(paints.count, 1); // redrawn at once
        shown = Grabbed(*frame);
        QCOMPARE(shown.size(), QSize(640, 360));
        QVERIFY(meanDifference(shown, brand.scaled(shown.size(), Qt::IgnoreAspectRatio,
                                                   Qt::SmoothTransformation)) < 3.0);
    }

    void pictureStaticInColourOrGrey() {
        QWidget window;
        window.resize(100, 100);
        QPalette black; // what shows through the picture's transparent parts
        black.setColor(QPalette::Window, Qt::black);
        window.setPalette(black);
        auto* gps = new CPngStatic(&window);
        gps->setGeometry(0, 0, 48, 48);
        ShowAndWait(window);
        QVERIFY(gps->LoadFromResource(kGpsPicture));
        QVERIFY(!gps->m_bActive);

        const QImage picture = skin::loadImage(kGpsPicture);
        QImage onBlack(48, 48, QImage::Format_RGB32);
        const auto flatten = [&](const QImage& source) {
            onBlack.fill(Qt::black);
            QPainter painter(&onBlack);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(onBlack.rect(), source);
            return onBlack.copy();
        };

        gps->SetActive(true);
        const QImage colour = Grabbed(*gps);
        QVERIFY(meanDifference(colour, flatten(picture)) < 2.0);
        int coloured = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                coloured += std::abs(qRed(colour.pixel(x, y)) - qBlue(colour.pixel(x, y))) > 40;
        QVERIFY2(coloured > 20, "the GPS picture must have colour for this test to mean anything");

        gps->SetActive(false);
        const QImage grey = Grabbed(*gps);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                const QRgb p = grey.pixel(x, y);
                QVERIFY2(std::abs(qRed(p) - qGreen(p)) <= 1 && std::abs(qGreen(p) - qBlue(p)) <= 1,
                         qPrintable(describe(p)));
            }
        QVERIFY(meanDifference(grey, flatten(skin::greyLook(picture))) < 2.0);
    }

    void pictureStaticWithoutPictureDrawsNothing() {
        QWidget window;
        window.resize(100, 100);
        QPalette magenta;
        magenta.setColor(QPalette::Window, QColor(200, 0, 200));
        window.setPalette(magenta);
        window.setAutoFillBackground(true);
        auto* banner = new CPngStatic(&window);
        banner->setGeometry(10, 10, 64, 64);
        ShowAndWait(window);
        QVERIFY(banner->LoadFromResource(kLogoPicture));
        QVERIFY(!changedArea(Grabbed(window), qRgb(200, 0, 200)).isEmpty());

        QVERIFY(!banner->LoadFromResource(99999)); // no such picture: the old one goes too
        QVERIFY(banner->m_pImage == nullptr);
        QVERIFY(changedArea(Grabbed(window), qRgb(200, 0, 200), 0).isEmpty());
    }

    // The controls side by side as the window shows them, for a look.
    void screenshotOfTheControls() {
        class Sheet : public QWidget {
        protected:
            void paintEvent(QPaintEvent*) override {
                QPainter painter(this);
                painter.fillRect(rect(), QColor(5, 5, 5));
                DrawOutlinedTitle(painter, "Kolvex Player", 22);
                DrawOutlinedReadout(painter, "88", 650, 10, 20);
            }
        } sheet;
        sheet.resize(800, 300);
        auto* idle = new CVideoStaticBg(&sheet);
        idle->setGeometry(10, 50, 366, 206);
        auto* playing = new CVideoStaticBg(&sheet);
        playing->setGeometry(386, 50, 366, 206);
        playing->SetIdle(0);
        auto* surface = new CVideoStatic(playing);
        surface->setGeometry(2, 2, 362, 202);
        surface->m_bShowCounter = true;
        surface->m_nCounter = 1234;
        auto* gpsColour = new CPngStatic(&sheet);
        gpsColour->setGeometry(10, 262, 32, 32);
        gpsColour->LoadFromResource(kGpsPicture);
        gpsColour->SetActive(true);
        auto* gpsGrey = new CPngStatic(&sheet);
        gpsGrey->setGeometry(50, 262, 32, 32);
        gpsGrey->LoadFromResource(kGpsPicture);
        auto* logo = new CPngStatic(&sheet);
        logo->setGeometry(700, 262, 32, 32);
        logo->LoadFromResource(kLogoPicture);
        logo->SetActive(true);
        ShowAndWait(sheet);

        const QImage shot = Grabbed(sheet);
        const QString path = QString(KOLVEX_SCREENSHOT_DIR) + "/controls_sheet.png";
        QVERIFY(shot.save(path));
        QVERIFY(!changedArea(shot.copy(0, 0, 300, 40), kSurface).isEmpty());    // the title
        QVERIFY(!changedArea(shot.copy(390, 55, 300, 90), kSurface).isEmpty()); // the counter
    }
};

QTEST_MAIN(StaticsTest)
#include "statics_test.moc"
