// The whole player on other cameras' sample cards (real libVLC): an action
// camera's chapters play one after another as one group, and a dual
// camera's dated front files play with their rear files beside them.
#include "app/command_line.h"
#include "app/kolvex_dlg.h"
#include "map/view/web_engine_setup.h"
#include "screen_checks.h"
#include "window_test_helpers.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>

namespace kolvex::testing {
namespace {

class OtherCardsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.OnInitDialog();
        ASSERT_TRUE(window.m_frontPlayer.m_bUsable) << "libVLC is needed here";
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { window.close(); }

    // A private copy of a card the test run wrote, opened as `kolvex CARD`.
    void Open(const char* layout) {
        const QString written = QStringLiteral(KOLVEX_OTHER_CARDS_DIR "/") + layout;
        ASSERT_TRUE(QFileInfo::exists(written)) << "no card at " << written.toStdString();
        const QString root = m_dir.path() + "/" + layout;
        ASSERT_EQ(QProcess::execute(QStringLiteral("cp"), {"-a", written, root}), 0);
        QString error;
        const int source = SourceForPath(root, &error);
        ASSERT_GE(source, 0) << error.toStdString();
        window.OpenSource(source, root);
    }
    std::vector<QString> Names() const {
        std::vector<QString> names;
        for (const RecordingEntry& e : window.m_recordings.Entries())
            names.push_back(e.name);
        return names;
    }
    bool WaitUntilPlaying(const QString& frontName, int ms = 15000) {
        return WaitFor(
            [&] {
                return window.m_recordings.GetCurrentPath().endsWith("/" + frontName) &&
                       window.m_frontPlayer.GetTime() > 0;
            },
            ms);
    }
    void Screenshot(const QString& name) {
        window.raise();
        QTest::qWait(300);
        QDir().mkpath(QStringLiteral(KOLVEX_SCREENSHOT_DIR));
        Grab(window).save(QStringLiteral(KOLVEX_SCREENSHOT_DIR "/") + name);
    }

    QTemporaryDir m_dir;
    CKolvexDlg window;
};

TEST_F(OtherCardsTest, AnActionCamerasChaptersPlayOneAfterAnotherAsOneGroup) {
    Open("action");
    EXPECT_EQ(Names(), (std::vector<QString>{"GH010042.MP4", "GH020042.MP4", "GH030042.MP4",
                                             "GOPR0043.MP4", "GP010043.MP4"}));
    EXPECT_EQ(window.m_groupList.model()->rowCount(), 2);
    EXPECT_EQ(window.m_fileList.model()->rowCount(), 5);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("GH010042.MP4")));
    EXPECT_TRUE(WaitFor([&] { return DistinctColours(Grab(window.m_frontVideo)) >= 12; }, 5000));
    Screenshot(QStringLiteral("other_cards_action.png"));
    // The first chapter lasts 10 s; the second follows by itself.
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("GH020042.MP4"), 20000));
    EXPECT_TRUE(MediaAddress(window.m_frontPlayer).endsWith("/DCIM/100GOPRO/GH020042.MP4"));
}

TEST_F(OtherCardsTest, ADualCamerasFrontFilesPlayWithTheirRearFiles) {
    Open("dual-dated");
    EXPECT_EQ(Names(),
              (std::vector<QString>{"2026_0514_081200_001F.MP4", "2026_0514_081210_002F.MP4",
                                    "2026_0514_081220_003F.MP4", "20260514_084710_NF.mp4",
                                    "20260514_084720_NF.mp4", "20260514_174500_EF.mp4"}));
    EXPECT_EQ(window.m_groupList.model()->rowCount(), 3);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("2026_0514_081200_001F.MP4")));
    EXPECT_TRUE(MediaAddress(window.m_rearPlayer).endsWith("/DCIM/Movie/2026_0514_081200_001R.MP4"))
        << MediaAddress(window.m_rearPlayer).toStdString();
    EXPECT_TRUE(WaitFor([&] { return window.m_rearPlayer.GetTime() > 0; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return DistinctColours(Grab(window.m_rearVideo)) >= 12; }, 5000));
    EXPECT_GE(DistinctColours(Grab(window.m_frontVideo)), 12);
    Screenshot(QStringLiteral("other_cards_dual_dated.png"));

    // A recording whose rear file lies in the sibling folder R.
    ASSERT_TRUE(WaitFor([&] { return !window.m_bOpening; }, 5000));
    window.OnOpenFile(3);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("20260514_084710_NF.mp4")));
    EXPECT_TRUE(MediaAddress(window.m_rearPlayer).endsWith("/Normal/R/20260514_084710_NR.mp4"))
        << MediaAddress(window.m_rearPlayer).toStdString();
}

} // namespace
} // namespace kolvex::testing

int main(int argc, char** argv) {
    // The window ids handed to libVLC are X11 ids.
    qputenv("QT_QPA_PLATFORM", "xcb");
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    // Settings, the documents folder and the browser's profile stay inside
    // the test's own folders.
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    QDir::setCurrent(home.path());
    kolvex::PrepareWebEngineProcess();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
