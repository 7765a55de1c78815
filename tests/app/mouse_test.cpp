// The mouse doing a frame's work on the window's own surface: the grip
// with its 800 x 560 minimum, the splitters following the mouse, a
// double-click maximising (but not on the speed read-out).
#include "test_window.h"

#include <gtest/gtest.h>

#include <QTest>

namespace kolvex::testing {
namespace {

class MouseTest : public ::testing::Test {
protected:
    MouseTest() {
        window.setGeometry(100, 100, 1000, 700);
        window.show();
        window.LayoutControls(1000, 700);
    }
    TestWindow window;
};

TEST_F(MouseTest, TheGripResizesButNeverBelowTheMinimum) {
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(990, 690));
    EXPECT_EQ(window.m_bResizing, 1);
    QTest::mouseMove(&window, QPoint(1200, 300));
    EXPECT_EQ(window.size(), QSize(1200, 560));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(500, 400));
    EXPECT_EQ(window.size(), QSize(800, 560));
    EXPECT_EQ(window.m_bResizing, 0);
    EXPECT_EQ(window.pos(), QPoint(100, 100)) << "a resize keeps the position";
}

TEST_F(MouseTest, SplittersFollowTheMouse) {
    const int W = 1000, H = 700;
    const QRect column = window.m_rcColumnSplit;
    QTest::mousePress(&window, Qt::LeftButton, {}, column.center());
    EXPECT_EQ(window.m_bDragColumnSplit, 1);
    QTest::mouseMove(&window, QPoint(600, column.center().y()));
    EXPECT_EQ(window.m_nColumnWidth, W - 600 - 10);
    EXPECT_EQ(window.m_fileList.geometry().left(), 605) << "the column starts 5 right of x";
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(600, column.center().y()));
    EXPECT_EQ(window.m_bDragColumnSplit, 0);

    const QRect list = window.m_rcListSplit;
    QTest::mousePress(&window, Qt::LeftButton, {}, list.center());
    EXPECT_EQ(window.m_bDragListSplit, 1);
    QTest::mouseMove(&window, QPoint(list.center().x(), 420));
    EXPECT_EQ(window.m_nListHeight, H - 420 - 74);
    EXPECT_EQ(window.m_groupList.geometry().top(), 425) << "the list starts 5 below y";
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(list.center().x(), 420));
}

TEST_F(MouseTest, ADoubleClickMaximisesExceptOnTheSpeedReadout) {
    const QPoint free(window.m_btnOpen.geometry().right() + 6, window.height() - 30);
    QTest::mouseDClick(&window, Qt::LeftButton, {}, free);
    EXPECT_EQ(window.m_bMaximized, 1);
    EXPECT_EQ(window.geometry(), window.m_monitor);
    QTest::mouseDClick(&window, Qt::LeftButton, {}, free);
    EXPECT_EQ(window.m_bMaximized, 0);
    EXPECT_EQ(window.geometry(), QRect(100, 100, 1000, 700));

    // The read-out lies under the window's own surface here, so the window
    // hands the double-click on instead of maximising.
    window.m_speed.setAttribute(Qt::WA_TransparentForMouseEvents);
    QTest::mouseDClick(&window, Qt::LeftButton, {}, window.m_speed.geometry().center());
    EXPECT_EQ(window.m_bMaximized, 0);
}

} // namespace
} // namespace kolvex::testing
