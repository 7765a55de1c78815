// The window's transport and opening against the recording libVLC
// stand-in: which files both players are given, in which order, and what
// the buttons, timers and player messages do to them.
#include "app/kolvex_dlg.h"
#include "app/window_messages.h"
#include "card_fixture.h"
#include "fake_player_window.h"
#include "lists/media_open_dialog.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

class PlaybackFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake().loaded());
        // Handles are named from 1 again: the front player's are I1 and P1,
        // the rear player's I2 and P2.
        fake().reset();
        card.AddRecording("DCIM/CAMF/MOVA0010.MP4", "2015-06-01 10:00:00");
        card.AddRecording("DCIM/CAMF/MOVA0020.MP4", "2015-06-01 10:01:00");
        // The rear file of the first recording, in the sibling folder.
        card.AddFile("DCIM/CAMR/MOVA001R.MP4", "rear");
        window = std::make_unique<FakePlayerWindow>();
        ASSERT_TRUE(window->m_frontPlayer.m_bUsable);
    }
    // The calls since the last call of this function.
    std::string NewCalls() {
        const std::string log = fake().log();
        const std::string calls = log.substr(std::min(m_seen, log.size()));
        m_seen = log.size();
        return calls;
    }
    // The library's path of the recording with this file name.
    QString Front(const char* name) const {
        const CRecordingManager& library = window->m_recordings;
        for (int i = 0; i < static_cast<int>(library.Rows().size()); ++i)
            if (library.GetPath(i).endsWith(QLatin1String("/") + QLatin1String(name)))
                return library.GetPath(i);
        return QStringLiteral("(not in the library: %1)").arg(QLatin1String(name));
    }
    void OpenFolderAndWaitForStart() {
        window->OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
        ASSERT_EQ(window->m_recordings.Entries().size(), 2u);
        ASSERT_TRUE(WaitFor([&] { return window->m_nDeferredOpenCountdown == 0; }, 3000));
    }
    static bool Has(const std::string& calls, const std::string& call) {
        return calls.find(call) != std::string::npos;
    }
    // A list double-click opens once the players have let go of the last
    // recording.
    void WaitForListOpen() {
        ASSERT_TRUE(WaitFor([&] { return !window->Playback().WaitsForStop(); }));
    }
    // The calls since the last NewCalls once a held player was paused,
    // without the time queries that looked whether it runs.
    std::string CallsAfterHold(const std::string& held) {
        std::string calls;
        WaitFor(
            [&] { return Has(calls += NewCalls(), "libvlc_media_player_pause(" + held + ")"); });
        std::string kept;
        size_t from = 0;
        while (from < calls.size()) {
            size_t end = calls.find('\n', from);
            end = end == std::string::npos ? calls.size() : end + 1;
            const std::string line = calls.substr(from, end - from);
            if (line.rfind("libvlc_media_player_get_time(", 0) != 0)
                kept += line;
            from = end;
        }
        return kept;
    }
    qint64 FrontSerial() const { return window->m_frontPlayer.m_nMediaSerial; }

    TempCard card;
    std::unique_ptr<FakePlayerWindow> window;
    size_t m_seen = 0;
};

TEST_F(PlaybackFlowTest, FolderStartsTheFirstRecordingLaterOnBothPlayers) {
    NewCalls();
    window->OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
    EXPECT_TRUE(window->m_bOpening);
    EXPECT_EQ(window->m_nDeferredOpenCountdown, 5);
    EXPECT_FALSE(Has(NewCalls(), "libvlc_media_new_path")) << "a folder starts after a pause";
    ASSERT_TRUE(WaitFor([&] { return window->m_nDeferredOpenCountdown == 0; }, 3000));
    const std::string calls = NewCalls();
    const std::string front = "'" + Front("MOVA0010.MP4").toStdString() + "'";
    const std::string rear = "MOVA001R.MP4'";
    const size_t frontAt = calls.find(front);
    const size_t rearAt = calls.find(rear);
    ASSERT_NE(frontAt, std::string::npos) << calls;
    ASSERT_NE(rearAt, std::string::npos) << calls;
    EXPECT_LT(frontAt, rearAt);
    EXPECT_TRUE(Has(calls, "libvlc_media_player_play(P1)"));
    EXPECT_TRUE(Has(calls, "libvlc_media_player_play(P2)"));
    EXPECT_EQ(window->m_strCurrentFile, Front("MOVA0010.MP4"));
    EXPECT_EQ(window->m_frontFrame.m_bIdle, 0);
    EXPECT_EQ(window->m_rearFrame.m_bIdle, 0);

    // Until the first time report, list double-clicks wait.
    window->OnOpenFile(1);
    QTest::qWait(300);
    EXPECT_FALSE(Has(NewCalls(), "libvlc_media_new_path"));
    QCoreApplication::postEvent(&window->Playback(),
                                new CPlayerMessageEvent(WM_PLAYER_TIME, 1500, FrontSerial()));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->m_bOpening);
}

TEST_F(PlaybackFlowTest, EndOfARecordingPlaysTheNextThenReturnsToTheFirstPaused) {
    OpenFolderAndWaitForStart();
    window->OnPlayerTime(100);
    NewCalls();
    window->Playback().HandleFrontEnd();
    std::string calls = NewCalls();
    EXPECT_TRUE(Has(calls, Front("MOVA0020.MP4").toStdString())) << calls;
    EXPECT_EQ(window->m_recordings.CurrentFile(), 1);
    // No rear file: the rear player is rebuilt, so its window lets go of
    // the last picture.
    EXPECT_TRUE(Has(calls, "libvlc_media_player_release(P2)")) << calls;

    window->Playback().HandleFrontEnd();
    calls = CallsAfterHold("P1");
    EXPECT_TRUE(Has(calls, Front("MOVA0010.MP4").toStdString())) << calls;
    EXPECT_EQ(calls.rfind("libvlc_media_player_pause(P1)") >
                  calls.rfind("libvlc_media_player_play(P1)"),
              true);
    EXPECT_EQ(window->m_recordings.CurrentFile(), 0);

    // Without auto play next, the ended recording is held at its start.
    window->OnCommand(IDC_AUTO_NEXT);
    EXPECT_FALSE(window->Playback().AutoNext());
    window->Playback().HandleFrontEnd();
    calls = CallsAfterHold("P1");
    EXPECT_FALSE(Has(calls, "libvlc_media_new_path")) << calls;
    EXPECT_TRUE(Has(calls, "libvlc_media_player_pause(P1)"));
}

TEST_F(PlaybackFlowTest, AnEndReportedByAReplacedRecordingIsNoEnd) {
    card.AddFile("DCIM/CAMR/MOVA002R.MP4", "rear");
    OpenFolderAndWaitForStart();
    window->OnPlayerTime(100);
    // Both cameras' recordings end together; the front's end is handled
    // first and opens the next recording, with its rear file, before the
    // rear's own end arrives.
    const qint64 frontEnded = window->m_frontPlayer.m_nMediaSerial;
    const qint64 rearEnded = window->m_rearPlayer.m_nMediaSerial;
    NewCalls();
    QCoreApplication::postEvent(&window->Playback(),
                                new CPlayerMessageEvent(WM_FRONT_END_REACHED, 1, frontEnded));
    QCoreApplication::postEvent(&window->Playback(),
                                new CPlayerMessageEvent(WM_REAR_END_REACHED, 1, rearEnded));
    // A second report of the first recording's end skips nothing either.
    QCoreApplication::postEvent(&window->Playback(),
                                new CPlayerMessageEvent(WM_FRONT_END_REACHED, 1, frontEnded));
    QCoreApplication::processEvents();
    std::string calls = NewCalls();
    EXPECT_EQ(window->m_recordings.CurrentFile(), 1);
    const size_t rearOpened = calls.find("MOVA002R.MP4'");
    ASSERT_NE(rearOpened, std::string::npos) << calls;
    EXPECT_NE(calls.find("libvlc_media_player_play(P2)", rearOpened), std::string::npos) << calls;
    EXPECT_EQ(calls.find("libvlc_media_player_pause(P2)", rearOpened), std::string::npos)
        << "the new rear recording is left playing\n"
        << calls;

    // The ends of what plays now are ends.
    QCoreApplication::postEvent(
        &window->Playback(),
        new CPlayerMessageEvent(WM_REAR_END_REACHED, 1, window->m_rearPlayer.m_nMediaSerial));
    QCoreApplication::processEvents();
    EXPECT_EQ(CallsAfterHold("P2"), "libvlc_media_player_stop(P2)\nlibvlc_media_player_play(P2)\n"
                                    "libvlc_media_player_pause(P2)\n");
    QCoreApplication::postEvent(
        &window->Playback(),
        new CPlayerMessageEvent(WM_FRONT_END_REACHED, 1, window->m_frontPlayer.m_nMediaSerial));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->m_recordings.CurrentFile(), 0);
}

TEST_F(PlaybackFlowTest, ListDoubleClickPlaysThatRowAndAnEmptyRowDoesNothing) {
    OpenFolderAndWaitForStart();
    window->OnPlayerTime(100);
    NewCalls();
    window->OnOpenFile(-1);
    EXPECT_EQ(NewCalls(), "");
    window->OnOpenFile(1);
    WaitForListOpen();
    const std::string calls = NewCalls();
    EXPECT_LT(calls.find("libvlc_media_player_stop(P1)"),
              calls.find(Front("MOVA0020.MP4").toStdString()));
    EXPECT_TRUE(window->m_bOpening);
}

TEST_F(PlaybackFlowTest, RatesOverlayAndStop) {
    OpenFolderAndWaitForStart();
    NewCalls();
    window->OnCommand(IDC_FAST);
    std::string calls = NewCalls();
    EXPECT_TRUE(Has(calls, "libvlc_media_player_set_rate(P1,1.2)")) << calls;
    EXPECT_TRUE(Has(calls, "libvlc_media_player_set_rate(P2,1.2)"));
    EXPECT_TRUE(Has(calls, "'1.2 X'"));
    window->OnCommand(IDC_SLOW);
    EXPECT_TRUE(Has(NewCalls(), "libvlc_media_player_set_rate(P1,1)"));
    EXPECT_EQ(window->Playback().RateIndex(), 7);
    for (int i = 0; i < 30; ++i)
        window->OnCommand(IDC_FAST);
    EXPECT_EQ(window->Playback().RateIndex(), 17);
    EXPECT_TRUE(Has(NewCalls(), "'4.0 X'"));

    window->OnCommand(IDC_STOP);
    calls = NewCalls();
    EXPECT_TRUE(Has(calls, "libvlc_media_player_stop(P1)"));
    EXPECT_TRUE(Has(calls, "libvlc_media_player_stop(P2)"));
    EXPECT_TRUE(Has(calls, "libvlc_media_player_set_rate(P1,1)"));
    EXPECT_EQ(window->Playback().RateIndex(), 7);
    EXPECT_EQ(window->m_frontFrame.m_bIdle, 1);
    EXPECT_EQ(window->m_rearFrame.m_bIdle, 1);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 0);
}

TEST_F(PlaybackFlowTest, SeekWaitsForTheTimerAndReachesBothPlayers) {
    OpenFolderAndWaitForStart();
    NewCalls();
    // The recordings are listed as 60,000 ms long: a step of 60 ms.
    window->m_positionSlider.setValue(500);
    window->OnSeekChanged();
    EXPECT_EQ(window->Playback().PendingSeek(), 30000);
    EXPECT_FALSE(Has(NewCalls(), "set_time"));
    // Time reports do not pull the slider back while the seek waits.
    window->OnPlayerTime(100);
    ASSERT_TRUE(WaitFor([&] { return !window->Playback().PendingSeek(); }, 2000));
    const std::string calls = NewCalls();
    EXPECT_TRUE(Has(calls, "libvlc_media_player_set_time(P1,30000)")) << calls;
    EXPECT_TRUE(Has(calls, "libvlc_media_player_set_time(P2,30000)"));

    window->OnPlayerTime(30100);
    EXPECT_TRUE(WaitFor([&] { return window->m_positionSlider.value() == 501; }));
}

TEST_F(PlaybackFlowTest, VolumeMuteAndPlayButtonFollowThePlayer) {
    NewCalls();
    window->m_volumeSlider.setValue(50);
    window->OnVolumeChanged();
    std::string calls = NewCalls();
    EXPECT_TRUE(Has(calls, "libvlc_audio_set_volume(P1,100)")) << calls;
    EXPECT_FALSE(Has(calls, "(P2,"));
    window->m_btnMute.m_bAltState = 1;
    window->OnCommand(IDC_MUTE);
    EXPECT_TRUE(Has(NewCalls(), "libvlc_audio_set_mute(P1,1)"));

    // With nothing opened, play only resets the button.
    window->m_btnPlay.m_bAltState = 1;
    window->OnCommand(IDC_PLAY);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 0);
    EXPECT_FALSE(Has(NewCalls(), "libvlc_media_player_play"));

    window->OnPlayerState(3);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 1);
    window->OnPlayerState(4);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 0);
    window->OnPlayerState(9);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 0);
}

TEST_F(PlaybackFlowTest, SingleFileAndEmptyFolder) {
    NewCalls();
    window->OpenSource(CMediaOpenDialog::kSourceFile, card.Root() + "/DCIM/CAMF/MOVA0020.MP4");
    EXPECT_EQ(window->m_recordings.Entries().size(), 1u);
    EXPECT_FALSE(window->m_bOpening);
    EXPECT_TRUE(Has(NewCalls(), Front("MOVA0020.MP4").toStdString()));
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 1);

    QTemporaryDir empty;
    window->OpenSource(CMediaOpenDialog::kSourceFolder, empty.path());
    EXPECT_TRUE(window->m_recordings.Entries().empty());
    EXPECT_FALSE(window->m_bOpening);
    EXPECT_EQ(window->m_nDeferredOpenCountdown, 0);
}

TEST_F(PlaybackFlowTest, TheOverlayIsAppliedElevenTimesMoreAndTheRearEndIsHeld) {
    OpenFolderAndWaitForStart();
    NewCalls();
    window->Playback().RestartRateOverlay();
    QTest::qWait(4500);
    const std::string calls = NewCalls();
    size_t applied = 0;
    for (size_t at = calls.find("marquee_string(P1"); at != std::string::npos;
         at = calls.find("marquee_string(P1", at + 1))
        ++applied;
    EXPECT_EQ(applied, 12u) << "once at once, then on 11 ticks";

    window->Playback().HandleRearEnd();
    EXPECT_EQ(CallsAfterHold("P2"), "libvlc_media_player_stop(P2)\nlibvlc_media_player_play(P2)\n"
                                    "libvlc_media_player_pause(P2)\n");
}

TEST_F(PlaybackFlowTest, APlayerErrorIsShownOnceAndPlaybackGoesOn) {
    OpenFolderAndWaitForStart();
    NewCalls();
    BoxAnswer answer(QMessageBox::Ok);
    QCoreApplication::postEvent(&window->Playback(),
                                new CPlayerMessageEvent(WM_PLAYER_ERROR, 1, FrontSerial()));
    ASSERT_TRUE(WaitFor([&] { return !answer.m_texts.isEmpty(); }));
    // It names the recording that could not be played (a pulled card).
    EXPECT_EQ(
        answer.m_texts,
        QStringList{QStringLiteral("Media player encountered an error.\n\n") +
                    Front("MOVA0010.MP4").replace(QStringLiteral("//"), QStringLiteral("/"))});
    EXPECT_FALSE(Has(NewCalls(), "_stop("));
    // The lists stay usable: another recording starts.
    window->OnPlayerTime(100);
    window->OnOpenFile(1);
    WaitForListOpen();
    EXPECT_TRUE(Has(NewCalls(), Front("MOVA0020.MP4").toStdString()));
}

// Without a usable libVLC (KOLVEX_LIBVLC naming a missing file): two
// warnings that name the file tried and the variable (also on standard
// error), then a window that lists the card, plays nothing and offers no
// snapshot.
TEST(PlayerMissingTest, TheWindowWarnsTwiceThenListsWithoutPlaying) {
    class Window : public CKolvexDlg {
    public:
        Window() : CKolvexDlg(Options{false, {}}) {}
        QString ChooseSnapshotPath() override {
            ++asked;
            return QStringLiteral("/tmp/never-written.png");
        }
        int asked = 0;
    };
    TempCard card;
    card.AddRecording("DCIM/MOVA0010.MP4", "2015-06-01 10:00:00");
    const QByteArray old = qgetenv("KOLVEX_LIBVLC");
    qputenv("KOLVEX_LIBVLC", "/nonexistent/libvlc.so.5");
    Window window;
    EXPECT_FALSE(window.m_frontPlayer.m_bUsable);
    EXPECT_FALSE(window.m_rearPlayer.m_bUsable);
    BoxAnswer answer(QMessageBox::Ok);
    ::testing::internal::CaptureStderr();
    window.OnInitDialog();
    const std::string stderrText = ::testing::internal::GetCapturedStderr();
    qputenv("KOLVEX_LIBVLC", old);
    ASSERT_EQ(answer.m_texts.size(), 2);
    for (const QString& text : answer.m_texts) {
        EXPECT_TRUE(text.contains(QStringLiteral("/nonexistent/libvlc.so.5")) &&
                    text.contains(QStringLiteral("KOLVEX_LIBVLC")))
            << text.toStdString();
    }
    EXPECT_NE(stderrText.find("\"/nonexistent/libvlc.so.5\"; KOLVEX_LIBVLC"), std::string::npos)
        << stderrText;
    window.OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
    EXPECT_EQ(window.m_recordings.Entries().size(), 1u);
    ASSERT_TRUE(WaitFor([&] { return window.m_nDeferredOpenCountdown == 0; }));
    for (int command : {IDC_PLAY, IDC_FAST, IDC_STOP, IDC_PLAY})
        window.OnCommand(command);
    EXPECT_EQ(window.m_frontFrame.m_bIdle, 0);
    window.OnCommand(IDC_SNAPSHOT);
    EXPECT_EQ(window.asked, 0) << "asked for a file it cannot write";
    ASSERT_EQ(answer.m_texts.size(), 3);
    EXPECT_EQ(answer.m_texts[2], LoadLangString(StringId::SnapshotUnavailable));
}

} // namespace
} // namespace kolvex::testing
