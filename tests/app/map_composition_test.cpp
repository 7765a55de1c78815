// The web map draws through OpenGL in a native window of its own, so that
// the rest of the main window stays a plain raster window (composing a
// whole window through software OpenGL at every update cost more than all
// the window's own painting). On a real X server: the main window's surface,
// the map still on the screen where the layout puts it, and a key pressed
// while the map has the keyboard still reaching the window.
#include "app/display_choice.h"
#include "app/kolvex_dlg.h"
#include "map/view/html_map_dlg.h"
#include "map/view/web_engine_setup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWebEngineView>
#include <QWindow>

#include <functional>
#include <memory>

namespace kolvex::testing {
namespace {

class MapCompositionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        qputenv("QT_QPA_PLATFORM", "xcb");
        PrepareWebEngineProcess();
        static int argc = 1;
        static char name[] = "map_composition_test";
        static char* argv[] = {name, nullptr};
        s_application = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { s_application.reset(); }

    void SetUp() override {
        if (!s_application)
            GTEST_SKIP() << "needs an X server (the test run starts one)";
    }

    static bool WaitFor(const std::function<bool()>& done, int ms) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms)
            QTest::qWait(50);
        return done();
    }

    // Real X input, as a user's: the pointer and the keyboard of the server.
    static bool Xdotool(const QStringList& arguments) {
        return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
    }

    static std::unique_ptr<QApplication> s_application;
};

std::unique_ptr<QApplication> MapCompositionTest::s_application;

// Distinct colours in an area: a drawn map has many, an empty or black
// area one or two.
int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

// Shows the window at its smallest size and waits for the map page.
void ShowWithMap(CKolvexDlg& window) {
    window.OnInitDialog();
    window.setGeometry(0, 0, 800, 560);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_NE(window.m_pMapDlg, nullptr);
    QElapsedTimer clock;
    clock.start();
    while (!window.m_pMapDlg->IsPageReady() && clock.elapsed() < 30000)
        QTest::qWait(50);
    ASSERT_TRUE(window.m_pMapDlg->IsPageReady()) << "the map page did not load";
}

TEST_F(MapCompositionTest, TheWindowStaysRasterWhileTheMapDrawsInItsPlace) {
    CKolvexDlg window;
    ASSERT_NO_FATAL_FAILURE(ShowWithMap(window));

    // The window composes through OpenGL once any widget of it draws into a
    // texture; the map's own window must keep that to itself.
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_EQ(window.windowHandle()->surfaceType(), QSurface::RasterSurface);

    // The map still shows where the layout puts it: its zoom buttons and
    // scale bar make many colours on the page's plain background.
    const QRect area(window.m_pMapDlg->mapToGlobal(QPoint(0, 0)), window.m_pMapDlg->size());
    int colours = 0;
    WaitFor(
        [&] {
            colours =
                DistinctColours(window.screen()
                                    ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                                    .toImage());
            return colours >= 8;
        },
        10000);
    EXPECT_GE(colours, 8) << "the map area shows nothing";
    window.screen()
        ->grabWindow(0, 0, 0, 800, 560)
        .save(QStringLiteral(KOLVEX_BUILD_DIR "/screenshots/kolvex-map-own-window.png"));
}

TEST_F(MapCompositionTest, AKeyPressedOnTheMapReachesTheWindow) {
    CKolvexDlg window;
    ASSERT_NO_FATAL_FAILURE(ShowWithMap(window));

    // A click on the map's empty middle gives it the keyboard; F1 then
    // must still open the keys panel.
    const QPoint middle = window.m_pMapDlg->mapToGlobal(window.m_pMapDlg->rect().center());
    ASSERT_TRUE(
        Xdotool({QStringLiteral("mousemove"), QString::number(middle.x()),
                 QString::number(middle.y()), QStringLiteral("click"), QStringLiteral("1")}));
    QTest::qWait(500);
    ASSERT_TRUE(Xdotool({QStringLiteral("key"), QStringLiteral("F1")}));
    EXPECT_TRUE(
        WaitFor([&] { return window.m_pInfoPanel && window.m_pInfoPanel->isVisible(); }, 5000))
        << "F1 pressed on the map did not reach the window";
}

} // namespace
} // namespace kolvex::testing
