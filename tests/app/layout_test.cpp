// Where every control goes for a client size, the window's shape, the size
// commands and the full-screen round trip.
#include "test_window.h"

#include "camera_file_writer.h"
#include "map/view/html_map_dlg.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace kolvex::testing {
namespace {

// (left, top, right, bottom), right and bottom exclusive, as the layout
// describes its rectangles.
QRect Ltrb(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

TEST(LayoutTest, The800By560ExampleWithTheMapAndWithoutTheGraph) {
    TestWindow window;
    window.m_bGSensorEnabled = 0;
    window.m_gsensor.hide();
    window.LayoutControls(800, 560);
    const struct {
        const char* name;
        QWidget* control;
        QRect expected;
    } cases[] = {
        {"front frame", &window.m_frontFrame, Ltrb(5, 48, 272, 341)},
        {"rear frame", &window.m_rearFrame, Ltrb(272, 48, 549, 341)},
        {"front surface", &window.m_frontVideo, Ltrb(7, 50, 270, 339)},
        {"rear surface", &window.m_rearVideo, Ltrb(274, 50, 547, 339)},
        {"slider", &window.m_positionSlider, QRect(5, 341, 544, 20)},
        {"group list", &window.m_groupList, Ltrb(5, 366, 549, 496)},
        {"file list", &window.m_fileList, Ltrb(555, 293, 795, 496)},
        {"status board", &window.m_statusBoard, QRect(5, 311, 267, 30)},
        {"close", &window.m_btnClose, QRect(768, 2, 25, 25)},
        {"maximise", &window.m_btnMaximize, QRect(741, 2, 25, 25)},
        {"minimise", &window.m_btnMinimize, QRect(714, 2, 25, 25)},
        {"about", &window.m_btnAbout, QRect(687, 2, 25, 25)},
        {"large", &window.m_btnLarge, QRect(641, 11, 16, 16)},
        {"medium", &window.m_btnMedium, QRect(621, 11, 16, 16)},
        {"small", &window.m_btnSmall, QRect(601, 11, 16, 16)},
        {"open", &window.m_btnOpen, QRect(8, 516, 48, 36)},
        {"snapshot", &window.m_btnSnapshot, QRect(56, 516, 48, 36)},
        {"save as", &window.m_btnSaveAs, QRect(104, 516, 48, 36)},
        {"delete", &window.m_btnDelete, QRect(152, 516, 48, 36)},
        {"configuration", &window.m_btnConfig, QRect(200, 516, 48, 36)},
        {"slower", &window.m_btnSlow, QRect(268, 512, 40, 40)},
        {"stop", &window.m_btnStop, QRect(309, 512, 40, 40)},
        {"play", &window.m_btnPlay, QRect(350, 504, 48, 48)},
        {"faster", &window.m_btnFast, QRect(399, 512, 40, 40)},
        {"mute", &window.m_btnMute, QRect(450, 520, 12, 24)},
        {"volume", &window.m_volumeSlider, QRect(464, 524, 80, 20)},
        {"auto next", &window.m_btnAutoNext, QRect(605, 520, 32, 32)},
        {"kml", &window.m_btnKml, QRect(639, 520, 32, 32)},
        {"map", &window.m_btnMap, QRect(673, 520, 32, 32)},
        {"g-sensor", &window.m_btnGSensor, QRect(707, 520, 32, 32)},
        {"unlock", &window.m_btnUnlock, QRect(741, 520, 32, 32)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.control->geometry(), c.expected) << c.name;
    EXPECT_EQ(window.m_rcMapSplit, Ltrb(555, 48, 795, 496));
    EXPECT_EQ(window.m_rcColumnSplit, Ltrb(550, 48, 555, 496));
    EXPECT_EQ(window.m_rcListSplit, Ltrb(5, 361, 549, 366));
    // The map's place (the placeholder stands in for the map view here).
    const QWidget* map = window.findChild<QWidget*>(QString::fromLatin1(kMapPlaceholderName));
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->geometry(), QRect(555, 48, 240, 240));
}

TEST(LayoutTest, MapOffGivesTheColumnToTheFileListAndTheGraphSitsBelowTheSlider) {
    TestWindow window;
    window.m_bMapEnabled = 0;
    window.m_bGSensorEnabled = 1;
    window.m_gsensor.resize(400, 100);
    window.LayoutControls(800, 560);
    EXPECT_EQ(window.m_fileList.geometry(), Ltrb(555, 48, 795, 496));
    const QWidget* map = window.findChild<QWidget*>(QString::fromLatin1(kMapPlaceholderName));
    EXPECT_EQ(map->geometry(), QRect(555, 0, 240, 0));
    // vb = 560 - 99 - 120 - 100 = 241: the graph keeps its height.
    EXPECT_EQ(window.m_frontFrame.geometry(), Ltrb(5, 48, 272, 241));
    EXPECT_EQ(window.m_positionSlider.geometry(), QRect(5, 241, 544, 20));
    EXPECT_EQ(window.m_gsensor.geometry(), QRect(5, 266, 544, 100));
    EXPECT_EQ(window.m_groupList.geometry(), Ltrb(5, 371, 549, 496));
}

TEST(LayoutTest, AWindowSmallerThanItsFixedPartsClampsWithoutFailing) {
    TestWindow window;
    window.m_nColumnWidth = 5000;
    window.m_nMapHeight = -40;
    window.m_nListHeight = 3;
    for (const QSize size : {QSize(100, 80), QSize(1, 1), QSize(30, 600)}) {
        window.LayoutControls(size.width(), size.height());
        const int cw = std::max(std::min(5000, size.width() - 20), 20);
        EXPECT_EQ(window.m_fileList.geometry().left(), size.width() - 5 - cw);
        EXPECT_EQ(window.m_fileList.geometry().top(), 20 + 53) << "map height clamped to 20";
    }
}

TEST(LayoutTest, TheWindowShapeRoundsTheCornersAndIsWholeInFullScreen) {
    TestWindow window;
    const QRegion shape = window.WindowShape(800, 560);
    const struct {
        QPoint point;
        bool inside;
    } cases[] = {
        {{1, 1}, false},    {{8, 8}, false},     {{30, 30}, true},   {{10, 5}, false},
        {{40, 2}, true},    {{2, 40}, true},     {{400, 300}, true}, {{799, 0}, false},
        {{795, 1}, true},   {{0, 559}, false},   {{3, 556}, true},   {{799, 559}, false},
        {{796, 556}, true}, {{800, 300}, false}, {{799, 300}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shape.contains(c.point), c.inside) << c.point.x() << "," << c.point.y();
    window.m_bFullScreen = 1;
    EXPECT_EQ(window.WindowShape(800, 560), QRegion(0, 0, 800, 560));
}

TEST(LayoutTest, SizeCommandsUseTheWholeMonitor) {
    const struct {
        QRect monitor;
        int command;
        QRect expected;
    } cases[] = {
        {{0, 0, 1920, 1080}, IDC_SMALL, {560, 260, 800, 560}},
        {{0, 0, 1920, 1080}, IDC_MEDIUM, {240, 135, 1536, 864}},
        {{0, 0, 1920, 1080}, IDC_LARGE, {0, 0, 1920, 1080}},
        {{0, 0, 900, 600}, IDC_MEDIUM, {112, 75, 800, 560}},
        {{1920, 0, 900, 600}, IDC_SMALL, {1970, 20, 800, 560}},
    };
    for (const auto& c : cases) {
        TestWindow window(c.monitor);
        window.m_bMaximized = 1;
        window.OnCommand(c.command);
        EXPECT_EQ(window.geometry(), c.expected) << c.command;
        EXPECT_EQ(window.m_bMaximized, 0);
    }
}

// A card with one recording, so that full screen is allowed.
class LoadedWindow : public TestWindow {
public:
    LoadedWindow() {
        fixtures::CameraRecording recording;
        recording.textDate = "2015-06-01 10:00:00";
        fixtures::WriteFile((m_card.path() + "/MOVA0010.MP4").toStdString(),
                            fixtures::BuildMp4(recording));
        m_recordings.Load(m_card.path(), QString());
    }
    QTemporaryDir m_card;
};

TEST(FullScreenTest, MaximiseThenFullScreenAndBackReturnsToTheMaximisedRectangle) {
    LoadedWindow window;
    ASSERT_EQ(window.m_recordings.Entries().size(), 1u);
    window.setGeometry(100, 80, 800, 560);
    window.show();
    window.OnCommand(IDC_MAXIMIZE);
    EXPECT_EQ(window.geometry(), QRect(0, 0, 1920, 1080));
    window.m_ptCursor = QPoint();
    window.OnToggleFullScreen();
    EXPECT_EQ(window.m_bFullScreen, 1);
    EXPECT_EQ(window.m_bMaximized, 0);
    // The window has the monitor's width already: one pixel less high.
    EXPECT_EQ(window.geometry(), QRect(0, 0, 1920, 1079));
    EXPECT_TRUE(window.m_btnPlay.isHidden());
    EXPECT_TRUE(window.m_groupList.isHidden());
    window.OnToggleFullScreen();
    EXPECT_EQ(window.m_bFullScreen, 0);
    EXPECT_EQ(window.geometry(), QRect(0, 0, 1920, 1080));
    EXPECT_FALSE(window.m_btnPlay.isHidden());
    EXPECT_FALSE(window.m_groupList.isHidden());
    EXPECT_TRUE(window.m_statusBoard.isHidden());
    EXPECT_TRUE(window.m_btnRotate.isHidden());
}

TEST(FullScreenTest, RefusedWithoutRecordingsAndTheSurfaceUnderTheCursorIsChosen) {
    TestWindow empty;
    empty.show();
    empty.OnToggleFullScreen();
    EXPECT_EQ(empty.m_bFullScreen, 0);

    LoadedWindow window;
    window.setGeometry(0, 0, 800, 560);
    window.show();
    window.m_frontVideo.show();
    window.m_rearVideo.show();
    window.m_ptCursor = window.m_rearVideo.mapToGlobal(QPoint(10, 10));
    EXPECT_EQ(window.VideoUnderCursor(), 2);
    EXPECT_EQ(window.m_nFullScreenVideo, 2);
    window.m_ptCursor = window.m_frontVideo.mapToGlobal(QPoint(10, 10));
    EXPECT_EQ(window.VideoUnderCursor(), 1);
    window.m_ptCursor = QPoint(5000, 5000);
    EXPECT_EQ(window.VideoUnderCursor(), -1);
    EXPECT_EQ(window.m_nFullScreenVideo, 1) << "the last choice stays";

    window.ShowFullScreenControls(false);
    EXPECT_TRUE(window.m_rearFrame.isHidden());
    EXPECT_FALSE(window.m_frontFrame.isHidden());
    window.ShowFullScreenControls(true);
    EXPECT_FALSE(window.m_rearFrame.isHidden());
    EXPECT_TRUE(window.m_statusBoard.isHidden());
    EXPECT_TRUE(window.m_btnRotate.isHidden());
}

} // namespace
} // namespace kolvex::testing
