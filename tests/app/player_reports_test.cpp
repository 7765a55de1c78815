// What the window does with the players' reports and the seeks it hands
// them, against the libVLC stand-in: a report counts only for the media it
// was raised for, every seek target reaches both players (the start too),
// a list double-click leaves the window answering while the players let
// go, and the tick takes the recording's length from the list.
#include "app/kolvex_dlg.h"
#include "app/window_messages.h"
#include "card_fixture.h"
#include "fake_player_window.h"
#include "lists/media_open_dialog.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

class PlayerReportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake().loaded());
        // The front player's handles are I1 and P1, the rear player's I2
        // and P2 until it is rebuilt.
        fake().reset();
        // A minute each; the first two have their rear files.
        card.AddRecording("DCIM/CAMF/MOVA0010.MP4", "2015-06-01 10:00:00");
        card.AddFile("DCIM/CAMR/MOVA001R.MP4", "rear");
        card.AddRecording("DCIM/CAMF/MOVA0020.MP4", "2015-06-01 10:01:00");
        card.AddFile("DCIM/CAMR/MOVA002R.MP4", "rear");
        card.AddRecording("DCIM/CAMF/MOVA0030.MP4", "2015-06-01 10:02:00");
        window = std::make_unique<FakePlayerWindow>();
        ASSERT_TRUE(window->m_frontPlayer.m_bUsable);
        window->OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
        ASSERT_EQ(window->m_recordings.Entries().size(), 3u);
        ASSERT_TRUE(WaitFor([&] { return window->m_nDeferredOpenCountdown == 0; }, 3000));
        window->OnPlayerTime(100);
    }
    std::string NewCalls() {
        const std::string log = fake().log();
        const std::string calls = log.substr(std::min(m_seen, log.size()));
        m_seen = log.size();
        return calls;
    }
    static bool Has(const std::string& calls, const std::string& call) {
        return calls.find(call) != std::string::npos;
    }
    void Post(int message, qint64 wParam, qint64 serial) {
        QCoreApplication::postEvent(
            &window->Playback(),
            new CPlayerMessageEvent(static_cast<PlayerMessage>(message), wParam, serial));
        QCoreApplication::processEvents();
    }

    TempCard card;
    std::unique_ptr<FakePlayerWindow> window;
    size_t m_seen = 0;
};

// Each report of the front or rear player, raised for the recording that
// was replaced before it arrived or for the one that plays now.
TEST_F(PlayerReportsTest, AReportCountsOnlyForTheRecordingItWasRaisedFor) {
    struct Report {
        const char* name;
        int message;
        qint64 wParam;
        bool rear;                   // raised by the rear player
        std::function<void()> ready; // the window before the report
        std::function<bool()> seen;  // whether the report was applied
    };
    FakePlayerWindow& w = *window;
    std::string calls;
    BoxAnswer answer(QMessageBox::Ok);
    const Report reports[] = {
        {"time", WM_PLAYER_TIME, 30'000, false,
         [&] {
             w.m_positionSlider.setValue(0);
             w.m_bOpening = true;
         },
         [&] { return w.m_positionSlider.value() == 500 && !w.m_bOpening; }},
        {"state", WM_PLAYER_STATE, 3, false, [&] { w.m_btnPlay.m_bAltState = 0; },
         [&] { return w.m_btnPlay.m_bAltState == 1; }},
        {"error", WM_PLAYER_ERROR, 1, false, [&] { answer.m_texts.clear(); },
         [&] { return WaitFor([&] { return !answer.m_texts.isEmpty(); }, 500); }},
        {"front end", WM_FRONT_END_REACHED, 1, false, [] {},
         [&] { return w.m_recordings.CurrentFile() == 2; }},
        // The rear player may have been rebuilt (a recording without a
        // rear file): any player but the front one (P1).
        {"rear end", WM_REAR_END_REACHED, 1, true, [] {},
         [&] {
             return Has(calls, "libvlc_media_player_stop(P") &&
                    !Has(calls, "libvlc_media_player_stop(P1)");
         }},
    };
    for (const Report& report : reports) {
        for (const bool current : {false, true}) {
            SCOPED_TRACE(std::string(report.name) + (current ? ", current" : ", replaced"));
            // Recording 1 replaces what played: both players get new media.
            const CVlcPlayer& player = report.rear ? w.m_rearPlayer : w.m_frontPlayer;
            const qint64 replaced = player.m_nMediaSerial;
            w.PlayRecording(1, CKolvexDlg::PlayStart::Next);
            w.OnPlayerTime(100);
            ASSERT_NE(player.m_nMediaSerial, replaced);
            ASSERT_EQ(w.m_recordings.CurrentFile(), 1);
            report.ready();
            NewCalls();
            Post(report.message, report.wParam, current ? player.m_nMediaSerial.load() : replaced);
            calls = NewCalls();
            EXPECT_EQ(report.seen(), current) << calls;
        }
    }
}

// The time both players are set to for each way of seeking; the start of
// the recording is a target like any other.
TEST_F(PlayerReportsTest, EverySeekTargetReachesBothPlayers) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    struct Seek {
        const char* name;
        int64_t pictureAt; // where the picture is when the user seeks
        std::function<void()> act;
        int64_t target;
    };
    FakePlayerWindow& w = *window;
    const auto slider = [&](int position) {
        return [&w, position] {
            w.m_positionSlider.setValue(position);
            w.OnSeekChanged();
        };
    };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [&w, k, modifiers] { QTest::keyClick(&w, k, modifiers); };
    };
    // The recordings are listed as 60 s long: a slider step of 60 ms.
    const Seek seeks[] = {
        {"slider at 0", 20'000, slider(0), 0},
        {"slider at 500", 20'000, slider(500), 30'000},
        {"slider at 1000", 20'000, slider(1000), 60'000},
        {"Left at 2 s", 2'000, key(Qt::Key_Left), 0},
        {"Shift+Left at 30 s", 30'000, key(Qt::Key_Left, Qt::ShiftModifier), 0},
        {"Home", 45'000, key(Qt::Key_Home), 0},
    };
    for (const Seek& seek : seeks) {
        SCOPED_TRACE(seek.name);
        fake().setTimes(4'200, seek.pictureAt);
        w.OnPlayerTime(seek.pictureAt);
        NewCalls();
        seek.act();
        ASSERT_TRUE(w.Playback().PendingSeek());
        EXPECT_EQ(*w.Playback().PendingSeek(), seek.target);
        ASSERT_TRUE(WaitFor([&] { return !w.Playback().PendingSeek(); }, 2000));
        const std::string calls = NewCalls();
        const std::string at = "," + std::to_string(seek.target) + ")";
        EXPECT_TRUE(Has(calls, "libvlc_media_player_set_time(P1" + at)) << calls;
        EXPECT_TRUE(Has(calls, "libvlc_media_player_set_time(P2" + at)) << calls;
    }
}

// The double-click's handler stops both players and returns; the window
// answers while they let go, and only then the row's recording opens.
TEST_F(PlayerReportsTest, AListDoubleClickReturnsToTheEventLoopAtOnce) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QString next = window->m_recordings.GetPath(1);
    const std::string opened = "'" + next.toStdString() + "'";
    NewCalls();
    const QRect cell = window->m_fileList.visualRect(window->m_fileList.model()->index(1, 1));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseDClick(window->m_fileList.viewport(), Qt::LeftButton, {}, cell.center());
    std::string calls = NewCalls();
    EXPECT_TRUE(Has(calls, "libvlc_media_player_stop(P1)")) << calls;
    EXPECT_TRUE(Has(calls, "libvlc_media_player_stop(P2)")) << calls;
    EXPECT_FALSE(Has(calls, opened)) << "opened before the handler returned\n" << calls;
    // The event loop runs before the recording opens.
    bool answered = false;
    bool openedWhenAnswered = true;
    QTimer::singleShot(0, window.get(), [&] {
        answered = true;
        openedWhenAnswered = Has(fake().log(), opened);
    });
    ASSERT_TRUE(WaitFor([&] { return Has(calls += NewCalls(), opened); }));
    EXPECT_TRUE(answered);
    EXPECT_FALSE(openedWhenAnswered);
    // Then as the Part's steps go: the row is the current recording, the
    // front surface shows and both players play.
    EXPECT_EQ(window->m_recordings.CurrentFile(), 1);
    EXPECT_EQ(window->m_frontFrame.m_bIdle, 0);
    EXPECT_TRUE(window->m_bOpening);
    const size_t openedAt = calls.find(opened);
    EXPECT_NE(calls.find("libvlc_media_player_play(P1)", openedAt), std::string::npos) << calls;
    EXPECT_NE(calls.find("MOVA002R.MP4'", openedAt), std::string::npos) << calls;

    // A second double-click while the first waits: the last one opens.
    window->m_bOpening = false;
    window->OnOpenFile(2);
    window->OnOpenFile(0);
    ASSERT_TRUE(WaitFor([&] { return !window->Playback().WaitsForStop(); }));
    calls = NewCalls();
    EXPECT_EQ(window->m_recordings.CurrentFile(), 0);
    EXPECT_FALSE(Has(calls, "MOVA0030.MP4'")) << calls;
    // Stop while one waits: nothing opens.
    window->m_bOpening = false;
    window->OnOpenFile(2);
    window->OnCommand(IDC_STOP);
    QTest::qWait(400);
    EXPECT_FALSE(Has(NewCalls(), "MOVA0030.MP4'"));
    EXPECT_EQ(window->m_frontFrame.m_bIdle, 1);
}

// Each tick places the slider by the length the list read from the file;
// libVLC is not asked for it (it says 4,200 ms here).
TEST_F(PlayerReportsTest, TheTickTakesTheLengthFromTheList) {
    NewCalls();
    const qint64 serial = window->m_frontPlayer.m_nMediaSerial;
    for (int64_t time : {15'000, 30'000, 45'000})
        Post(WM_PLAYER_TIME, time, serial);
    EXPECT_EQ(window->m_positionSlider.value(), 750);
    EXPECT_EQ(window->m_positionSlider.PositionText(), QStringLiteral("00:45 / 01:00"));
    const std::string calls = NewCalls();
    EXPECT_FALSE(Has(calls, "get_length")) << calls;
}

} // namespace
} // namespace kolvex::testing
