// With the web map inside, Qt composes the main window through OpenGL; the
// video surfaces must still show what they paint themselves (the scan
// counter) on a real X server, and the controls around them theirs.
#include "app/display_choice.h"
#include "app/kolvex_dlg.h"
#include "map/view/web_engine_setup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

namespace kolvex::testing {
namespace {

// Pixels of the caption's blue in an area of the screen.
int CaptionBluePixels(const QImage& shot) {
    int count = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            count += qBlue(p) > 180 && qBlue(p) > qRed(p) + 60 ? 1 : 0;
        }
    return count;
}

TEST(SurfaceWithMapTest, TheScanCounterShowsOnTheFrontSurface) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (the test run starts one)";
    qputenv("QT_QPA_PLATFORM", "xcb");
    PrepareWebEngineProcess();
    int argc = 1;
    char name[] = "surface_with_map_test";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    CKolvexDlg window; // with the map view
    window.OnInitDialog();
    window.setGeometry(0, 0, 800, 560);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.m_frontVideo.show();
    window.m_frontVideo.m_bShowCounter = true;
    QTest::qWait(2000); // the map page builds its view
    window.m_frontVideo.ShowScanCount(1234);

    const QRect area(window.m_frontVideo.mapToGlobal(QPoint(0, 0)), QSize(200, 100));
    QElapsedTimer clock;
    clock.start();
    int blue = 0;
    while (clock.elapsed() < 10000 && blue < 500) {
        QTest::qWait(200);
        blue =
            CaptionBluePixels(window.screen()
                                  ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                                  .toImage());
    }
    EXPECT_GE(blue, 500) << "the counter's digits do not show";
    window.screen()
        ->grabWindow(0, 0, 0, 800, 560)
        .save(QStringLiteral(KOLVEX_BUILD_DIR "/screenshots/kolvex-scan-counter-with-map.png"));
}

} // namespace
} // namespace kolvex::testing
