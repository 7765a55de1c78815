// The whole player on other cameras' sample cards (real libVLC, the real web
// map): an action camera's chapters play one after another as one group,
// with the speed, the compass, the G graph and the map following its GPMF
// track across the chapters; a dual camera's dated front files play with
// their rear files beside them and their GPS from freeGPS boxes or an NMEA
// text.
#include "app/command_line.h"
#include "app/kolvex_dlg.h"
#include "map/view/web_engine_setup.h"
#include "map_state.h"
#include "screen_checks.h"
#include "window_test_helpers.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
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
        ASSERT_NE(window.m_pMapDlg, nullptr);
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
    // Seeks as the position slider does, to `ms` of the front recording,
    // and waits until the seek tick applied it.
    void SeekTo(int64_t ms) {
        const int64_t length = window.m_frontPlayer.GetLength();
        ASSERT_GT(length, 0);
        window.m_positionSlider.setValue(static_cast<int>(ms * 1000 / length));
        window.OnSeekChanged();
        ASSERT_TRUE(WaitFor([&] { return !window.Playback().PendingSeek(); }, 3000));
    }
    QJsonObject Map() { return MapState(*window.m_pMapDlg); }
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

// What the instruments showed while a stretch of a recording played.
struct Watched {
    std::set<int> speeds;       // km/h, while the read-out showed a reading
    bool noReading = false;     // the read-out said it has no data
    std::set<unsigned> compass; // cards shown
    std::set<double> cursor;    // the G graph's cursor
};

// Records the instruments until `until` holds or `ms` have passed.
template <typename Until> Watched Watch(CKolvexDlg& window, Until until, int ms) {
    Watched seen;
    QDeadlineTimer deadline(ms);
    while (!until() && !deadline.hasExpired()) {
        QTest::qWait(100);
        if (window.m_speed.m_bValid)
            seen.speeds.insert(window.m_speed.m_nSpeedKmh);
        else
            seen.noReading = true;
        seen.compass.insert(window.m_compass.m_nImage);
        seen.cursor.insert(window.m_gsensor.m_dCurrentMs);
    }
    return seen;
}

// The car's marker, [latitude, longitude], or an empty array.
QJsonArray Marker(const QJsonObject& map) {
    return map["marker"].toArray();
}

// Recording 0042 of the action camera: the commute, GPS9 beside GPS5 and
// the accelerometer in a GPMF track, cut into three chapters. The car pulls
// away in the first chapter and turns right at the end of the second; the
// readings run on from one chapter into the next.
TEST_F(OtherCardsTest, TheInstrumentsAndTheMapFollowAnActionCamerasChapters) {
    Open("action");
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("GH010042.MP4")));

    // Standing for 3 s, then pulling away to 45 km/h at the chapter's end.
    const Watched first = Watch(
        window, [&] { return window.m_frontPlayer.GetTime() > 7000; }, 9000);
    EXPECT_FALSE(first.noReading);
    EXPECT_GE(first.speeds.size(), 3u);
    EXPECT_GE(first.cursor.size(), 10u);
    EXPECT_TRUE(window.m_gpsIcon.m_bActive);
    EXPECT_FALSE(window.m_gsensor.m_samples.empty()) << "the G graph has no track";
    QJsonObject map = Map();
    EXPECT_FALSE(map["path"].toArray().isEmpty()) << QJsonDocument(map).toJson().toStdString();
    const qsizetype drivenBefore = map["driven"].toArray().size();
    EXPECT_GE(drivenBefore, 3);
    ASSERT_EQ(Marker(map).size(), 2);
    EXPECT_NEAR(Marker(map)[0].toDouble(), 52.5081, 0.001);
    EXPECT_NEAR(Marker(map)[1].toDouble(), 13.3905, 0.001);
    Screenshot(QStringLiteral("other_cards_action_pulling_away.png"));
    QTest::qWait(1000);
    map = Map();
    EXPECT_GT(map["driven"].toArray().size(), drivenBefore);
    const QJsonArray carBefore = Marker(map);
    ASSERT_EQ(carBefore.size(), 2);
    EXPECT_GT(carBefore[1].toDouble(), 13.3905) << "the car moves east";
    const int speedBefore = window.m_speed.m_nSpeedKmh;
    EXPECT_GE(speedBefore, 30);

    // The next chapter takes over without a gap in the readings: the same
    // speed, the car where it was.
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("GH020042.MP4"), 8000));
    EXPECT_TRUE(WaitFor([&] { return window.m_speed.m_bValid != 0; }, 2000));
    EXPECT_NEAR(window.m_speed.m_nSpeedKmh, speedBefore, 12);
    EXPECT_TRUE(WaitFor([&] { return Marker(Map()).size() == 2; }, 3000));
    const QJsonArray carAfter = Marker(Map());
    ASSERT_EQ(carAfter.size(), 2);
    EXPECT_NEAR(carAfter[0].toDouble(), carBefore[0].toDouble(), 0.0005);
    EXPECT_NEAR(carAfter[1].toDouble(), carBefore[1].toDouble(), 0.0008);
    EXPECT_FALSE(window.m_gsensor.m_samples.empty());

    // The right turn from 7 s on turns the compass card; the speed is read
    // all along.
    const Watched second = Watch(
        window, [&] { return window.m_recordings.GetCurrentPath().endsWith("/GH030042.MP4"); },
        14000);
    EXPECT_FALSE(second.noReading);
    EXPECT_GE(second.compass.size(), 2u);
    EXPECT_GE(second.speeds.size(), 3u);
    Screenshot(QStringLiteral("other_cards_action_turn.png"));
    map = Map();
    ASSERT_EQ(Marker(map).size(), 2);
    // About 100 m further on.
    EXPECT_GT(Marker(map)[1].toDouble(), carAfter[1].toDouble() + 0.001);
}

// Recording 0043 (GPS5 only) goes into the tunnel 6 s into its first
// chapter and comes out 3 s into its second: no fix in between, the speed
// and the map back once the fix is.
TEST_F(OtherCardsTest, AnActionCameraLosesItsFixInTheTunnelAndFindsItInTheNextChapter) {
    Open("action");
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("GH010042.MP4")));
    ASSERT_TRUE(WaitFor([&] { return !window.m_bOpening; }, 5000));
    window.OnOpenGroup(window.m_recordings.Groups().at(1).index);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("GOPR0043.MP4")));
    EXPECT_TRUE(WaitFor([&] { return window.m_gpsIcon.m_bActive; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return window.m_speed.m_bValid != 0; }, 3000));
    EXPECT_NEAR(window.m_speed.m_nSpeedKmh, 76, 4);

    SeekTo(7500);
    EXPECT_TRUE(WaitFor([&] { return !window.m_gpsIcon.m_bActive; }, 3000));
    QTest::qWait(500);
    EXPECT_FALSE(window.m_gpsIcon.m_bActive);
    Screenshot(QStringLiteral("other_cards_action_tunnel.png"));
    // The driven path stops at the tunnel's mouth.
    const qsizetype drivenInTunnel = Map()["driven"].toArray().size();
    EXPECT_GE(drivenInTunnel, 3);
    QTest::qWait(1000);
    EXPECT_EQ(Map()["driven"].toArray().size(), drivenInTunnel);

    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("GP010043.MP4"), 8000));
    EXPECT_FALSE(window.m_gpsIcon.m_bActive);
    EXPECT_TRUE(WaitFor([&] { return window.m_gpsIcon.m_bActive; }, 6000));
    EXPECT_TRUE(WaitFor([&] { return window.m_speed.m_bValid != 0; }, 2000));
    EXPECT_GT(window.m_speed.m_nSpeedKmh, 60);
    QTest::qWait(500);
    const qsizetype drivenOut = Map()["driven"].toArray().size();
    QTest::qWait(1500);
    EXPECT_GT(Map()["driven"].toArray().size(), drivenOut);
    Screenshot(QStringLiteral("other_cards_action_out_of_the_tunnel.png"));
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
    // Its GPS is in the NMEA text beside it; the car stands at first.
    EXPECT_TRUE(WaitFor([&] { return window.m_gpsIcon.m_bActive; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return window.m_speed.m_bValid != 0; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return Marker(Map()).size() == 2; }, 5000));
    Screenshot(QStringLiteral("other_cards_dual_dated.png"));

    // A recording whose rear file lies in the sibling folder R.
    ASSERT_TRUE(WaitFor([&] { return !window.m_bOpening; }, 5000));
    window.OnOpenFile(3);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("20260514_084710_NF.mp4")));
    EXPECT_TRUE(MediaAddress(window.m_rearPlayer).endsWith("/Normal/R/20260514_084710_NR.mp4"))
        << MediaAddress(window.m_rearPlayer).toStdString();

    // Its GPS comes from freeGPS boxes; the receiver finds its fix after
    // 3 s, as the car pulls away.
    const Watched pulling = Watch(
        window, [&] { return window.m_frontPlayer.GetTime() > 8000; }, 12000);
    EXPECT_TRUE(window.m_gpsIcon.m_bActive);
    EXPECT_GE(pulling.speeds.size(), 3u);
    EXPECT_GE(window.m_speed.m_nSpeedKmh, 30);
    const QJsonObject map = Map();
    ASSERT_EQ(Marker(map).size(), 2) << QJsonDocument(map).toJson().toStdString();
    EXPECT_NEAR(Marker(map)[0].toDouble(), 52.4868, 0.001);
    EXPECT_NEAR(Marker(map)[1].toDouble(), 13.4309, 0.001);
    EXPECT_GE(map["driven"].toArray().size(), 3);
    Screenshot(QStringLiteral("other_cards_dual_dated_freegps.png"));
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
