// The video surface under a real X server with the real player: the player's
// picture fills the surface, and repainting the surface, its frame or the
// window while it plays never covers the picture. Writes
// video_surface_playing.png into the build folder.
#include "encoded_clip.h"
#include "pixel_checks.h"
#include "video_static.h"
#include "video_static_bg.h"
#include "vlc_player.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <functional>

using namespace kolvex;

namespace {

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 20'000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// The 4:3 clip fills 93 % of the surface beside the player's black bars; the
// counter alone, drawn over it, would take a quarter.
constexpr double kCovered = 0.85;

bool IsVideoBlue(QRgb p) {
    return qBlue(p) > 150 && qRed(p) < 60 && qGreen(p) < 60;
}

// Share of the pixels of `area` for which `test` holds.
double Share(const QImage& image, QRect area, bool (*test)(QRgb)) {
    int hits = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            hits += test(image.pixel(x, y)) ? 1 : 0;
    return double(hits) / (area.width() * area.height());
}

std::atomic<int> g_nPlaying{0};
void OnEvent(const libvlc_event_t* event, void*) {
    if (event->type == libvlc_MediaPlayerPlaying)
        ++g_nPlaying;
}

} // namespace

class VideoSurfaceTest : public QObject {
    Q_OBJECT

    // What the X server shows of `window`, as a person sees it.
    static QImage Screen(QWidget& window) {
        window.raise();
        QCoreApplication::processEvents();
        const QRect area(window.mapToGlobal(QPoint(0, 0)), window.size());
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void repaintsNeverCoverThePlayersPicture() {
        QTemporaryDir folder;
        QString error;
        const QString clip =
            EncodeClip(folder.path(), {"blue.mp4", 320, 240, 25, 8.0, "color=c=0x0000C0"}, &error);
        QVERIFY2(!clip.isEmpty(), qPrintable(error));

        QWidget window;
        window.setGeometry(200, 150, 440, 320);
        auto* frame = new CVideoStaticBg(&window);
        frame->setGeometry(20, 20, 400, 280);
        auto* surface = new CVideoStatic(frame);
        surface->setGeometry(2, 2, 396, 276);
        surface->m_bShowCounter = true;
        surface->m_nCounter = 1234;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect surfaceArea(surface->mapTo(&window, QPoint(0, 0)), surface->size());

        // Before playing, the surface's own drawing (dark, with the counter)
        // is what shows.
        QVERIFY(WaitUntil([&] { return Share(Screen(window), surfaceArea, IsVideoBlue) < 0.01; }));
        QVERIFY(
            !testing::changedArea(Screen(window).copy(surfaceArea), qRgb(5, 5, 5), 8).isEmpty());

        CVlcPlayer player;
        QCOMPARE(int(player.m_bUsable), 1);
        player.AttachEvents(&OnEvent, nullptr);
        player.SetWindow(static_cast<CVlcPlayer::WindowHandle>(surface->SurfaceWinId()));
        player.OpenMedia(clip.toUtf8().constData());
        frame->SetIdle(0);
        player.Play();
        QVERIFY(WaitUntil([] { return g_nPlaying > 0; }));
        QVERIFY(WaitUntil([&] { return player.GetTime() > 300; }));
        QVERIFY(
            WaitUntil([&] { return Share(Screen(window), surfaceArea, IsVideoBlue) > kCovered; }));

        // Everything that repaints the surface while a recording plays.
        for (int round = 0; round < 5; ++round) {
            surface->ShowScanCount(round);
            surface->repaint();
            frame->SetIdle(0);
            window.repaint();
            surface->update();
            QCoreApplication::processEvents();
            QThread::msleep(40);
        }
        const QImage shown = Screen(window);
        shown.save(QString(KOLVEX_SCREENSHOT_DIR) + "/video_surface_playing.png");
        QVERIFY2(Share(shown, surfaceArea, IsVideoBlue) > kCovered,
                 qPrintable(QString("blue share %1").arg(Share(shown, surfaceArea, IsVideoBlue))));
        player.Stop();
    }
};

QTEST_MAIN(VideoSurfaceTest)
#include "video_surface_test.moc"
