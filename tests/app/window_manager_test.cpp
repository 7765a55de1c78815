// The window under a real window manager (openbox, started here on the
// test's own X server) with the real libVLC, driven by real X input
// (xdotool): keys work wherever the focus is, the video surfaces never
// take the focus nor show up as windows of their own, and a click moves
// the window only while its button is held.
#include "app/kolvex_dlg.h"
#include "encoded_clip.h"
#include "lists/media_open_dialog.h"
#include "window_test_helpers.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace kolvex::testing {
namespace {

// Runs an X tool while the event loop goes on, as a user's input arrives
// while the program runs.
QString Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    WaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

void Xdo(const QStringList& args) {
    Run(QStringLiteral("xdotool"), args);
    QTest::qWait(150); // the X server's events reach the window
}

// Clicks at a point of the screen.
void ClickAt(const QPoint& at) {
    Xdo({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

QPoint Centre(const QWidget& widget) {
    return widget.mapToGlobal(widget.rect().center());
}

// The windows the window manager manages for this process.
int ManagedWindowsOfThisProcess() {
    const QString list = Run("xprop", {"-root", "_NET_CLIENT_LIST"});
    int count = 0;
    const QRegularExpression id("0x[0-9a-f]+");
    for (auto it = id.globalMatch(list); it.hasNext();) {
        const QString window = it.next().captured(0);
        const QString pid = Run("xprop", {"-id", window, "_NET_WM_PID"});
        if (pid.contains(QStringLiteral("= %1").arg(QCoreApplication::applicationPid())))
            ++count;
    }
    return count;
}

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        m_clip = EncodeClip(m_folder.path(),
                            ClipSpec{QStringLiteral("MOVA0010.MP4"), 320, 240, 25, 30.0,
                                     QStringLiteral("testsrc2")},
                            &error);
        ASSERT_FALSE(m_clip.isEmpty()) << error.toStdString();
        window = std::make_unique<CKolvexDlg>(CKolvexDlg::Options{false, {}});
        window->OnInitDialog();
        ASSERT_TRUE(window->m_frontPlayer.m_bUsable) << "libVLC is needed here";
        window->setGeometry(100, 80, 900, 600);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->OpenSource(CMediaOpenDialog::kSourceFile, m_clip);
        ASSERT_TRUE(WaitFor([&] { return window->m_positionSlider.value() > 0; }, 15000))
            << "the clip never played";
        ASSERT_TRUE(window->m_frontVideo.isVisible());
    }
    void TearDown() override {
        if (window)
            window->close();
    }

    bool Playing() const { return window->m_frontPlayer.m_bPlaying != 0; }

    QTemporaryDir m_folder;
    QString m_clip;
    std::unique_ptr<CKolvexDlg> window;
};

TEST_F(WindowManagerTest, KeysWorkWhereverTheFocusIs) {
    struct Case {
        const char* focus;
        std::function<void()> place; // puts the focus there
    };
    // A list keeps letters and + for its inline search: only Space is the
    // window's there.
    const Case cases[] = {
        {"a button", [&] { window->m_btnStop.setFocus(Qt::TabFocusReason); }},
        {"the video",
         [&] {
             window->setFocus();
             ClickAt(Centre(window->m_frontVideo));
         }},
        {"a list", [&] { ClickAt(Centre(window->m_fileList)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focus);
        c.place();
        QTest::qWait(300);
        // The keyboard stays with the main window.
        EXPECT_EQ(QGuiApplication::focusWindow(), window->windowHandle());
        const bool before = Playing();
        Xdo({"key", "space"});
        EXPECT_NE(Playing(), before) << "Space did not play or pause";
        Xdo({"key", "space"});
        EXPECT_EQ(Playing(), before);
        if (QApplication::focusWidget() == &window->m_fileList)
            continue;
        const int mute = window->m_btnMute.m_bAltState;
        Xdo({"key", "m"});
        EXPECT_NE(window->m_btnMute.m_bAltState, mute) << "M did not switch the sound";
        Xdo({"key", "m"});
        const int rate = window->Playback().RateIndex();
        Xdo({"key", "plus"});
        EXPECT_EQ(window->Playback().RateIndex(), rate + 1) << "+ did nothing";
        Xdo({"key", "minus"});
    }

    // Full screen by a double-click on the video; the keys go on working,
    // Escape leaves it.
    Xdo({"mousemove", QString::number(Centre(window->m_frontVideo).x()),
         QString::number(Centre(window->m_frontVideo).y()), "click", "--repeat", "2", "--delay",
         "80", "1"});
    ASSERT_TRUE(WaitFor([&] { return window->m_bFullScreen == 1; }, 3000));
    ClickAt(Centre(window->m_frontVideo));
    const int rate = window->Playback().RateIndex();
    Xdo({"key", "plus"});
    EXPECT_EQ(window->Playback().RateIndex(), rate + 1) << "+ in full screen";
    const bool before = Playing();
    Xdo({"key", "space"});
    EXPECT_NE(Playing(), before) << "Space in full screen";
    Xdo({"key", "Escape"});
    EXPECT_TRUE(WaitFor([&] { return window->m_bFullScreen == 0; }, 3000))
        << "Escape did not leave full screen";
}

TEST_F(WindowManagerTest, TheSurfacesAreNoWindowsOfTheirOwn) {
    // Hidden and shown again (stop and play), full screen and back: each
    // time the surfaces stay inside the main window.
    EXPECT_EQ(ManagedWindowsOfThisProcess(), 1);
    window->OnCommand(IDC_STOP);
    QTest::qWait(300);
    EXPECT_EQ(ManagedWindowsOfThisProcess(), 1) << "after Stop";
    window->OnCommand(IDC_PLAY);
    ASSERT_TRUE(WaitFor([&] { return window->m_btnPlay.m_bAltState == 1; }, 5000));
    QTest::qWait(300);
    EXPECT_EQ(ManagedWindowsOfThisProcess(), 1) << "after Play";
    window->ToggleFrontFullScreen();
    QTest::qWait(500);
    EXPECT_EQ(ManagedWindowsOfThisProcess(), 1) << "in full screen";
    window->ToggleFrontFullScreen();
    QTest::qWait(500);
    EXPECT_EQ(ManagedWindowsOfThisProcess(), 1) << "after full screen";
    ClickAt(Centre(window->m_frontVideo));
    QTest::qWait(300);
    EXPECT_EQ(QGuiApplication::focusWindow(), window->windowHandle());
}

// A free point of the top strip, in window coordinates.
QPoint FreePointOfTheStrip(CKolvexDlg& window) {
    for (int x = 120; x < window.width() - 220; x += 4)
        if (!window.childAt(x, 42))
            return QPoint(x, 42);
    return {};
}

TEST_F(WindowManagerTest, AClickOnTheStripMovesNothingAndADragMovesTheWindow) {
    const QPoint strip = FreePointOfTheStrip(*window);
    ASSERT_FALSE(strip.isNull());
    const QRect before = window->geometry();
    // Press and release on the strip, then a press elsewhere: five times,
    // as quickly as a user clicks.
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ClickAt(window->mapToGlobal(strip));
        ClickAt(Centre(window->m_positionSlider));
        ClickAt(Centre(window->m_groupList));
        QTest::qWait(300);
        EXPECT_EQ(window->geometry().topLeft(), before.topLeft());
    }
    // A drag moves it by the mouse's way, and ends with the release.
    const QPoint from = window->mapToGlobal(strip);
    Xdo({"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1"});
    for (int step = 1; step <= 5; ++step)
        Xdo({"mousemove", QString::number(from.x() + 20 * step),
             QString::number(from.y() + 10 * step)});
    Xdo({"mouseup", "1"});
    EXPECT_TRUE(WaitFor(
        [&] { return window->geometry().topLeft() == before.topLeft() + QPoint(100, 50); }, 2000))
        << window->geometry().x() << "," << window->geometry().y();
    const QRect moved = window->geometry();
    ClickAt(Centre(window->m_positionSlider));
    QTest::qWait(300);
    EXPECT_EQ(window->geometry(), moved);
}

} // namespace
} // namespace kolvex::testing

namespace {

// The window manager of the test's X server, for as long as the tests run.
class WindowManager {
public:
    WindowManager() {
        m_process.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        for (int i = 0; i < 300 && !Running(); ++i)
            QThread::msleep(100);
    }
    ~WindowManager() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    bool Running() const {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
        xprop.waitForFinished(5000);
        return xprop.readAllStandardOutput().contains("window id");
    }

private:
    QProcess m_process;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb"); // libVLC draws into X windows
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    QTemporaryDir settingsFolder;
    QDir::setCurrent(settingsFolder.path());
    WindowManager manager;
    if (!manager.Running()) {
        std::fprintf(stderr, "openbox did not start\n");
        return 1;
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
