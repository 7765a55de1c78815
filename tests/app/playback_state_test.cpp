// What the window shows while recordings play through, against the libVLC
// stand-in: the rear pane, the play button, the speed read-out, the graph
// and the rows marked in the lists after each step a user takes.
#include "app/kolvex_dlg.h"
#include "app/window_messages.h"
#include "card_fixture.h"
#include "fake_player_window.h"
#include "lists/media_open_dialog.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <set>

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

// A minute of driving at 36 km/h, one fix a second.
fixtures::CameraRecording Driving(const std::string& start) {
    fixtures::CameraRecording r = RecordingAt(start);
    r.writeGps = true;
    for (int i = 0; i < 60; ++i) {
        fixtures::GpsRecord fix;
        fix.latitude = 5230.0 + i * 0.01;
        fix.longitude = 1324.0;
        fix.speed = 36;
        fix.heading = 45;
        fix.flags = 1;
        r.gps.push_back(fix);
    }
    r.writeGsensor = true;
    r.gsensor.assign(600, fixtures::GSensorRecord{0, 0, 64});
    return r;
}

class PlaybackStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake().loaded());
        fake().reset();
        // Group 0: a drive with GPS and a rear file, then a minute without
        // either; group 1: one recording an hour later, without a rear file.
        card.AddRecording("DCIM/CAMF/MOVA0010.MP4", Driving("2015-06-01 10:00:00"));
        card.AddFile("DCIM/CAMR/MOVA001R.MP4", "rear");
        card.AddRecording("DCIM/CAMF/MOVA0020.MP4", "2015-06-01 10:01:00");
        card.AddRecording("DCIM/CAMF/MOVA0030.MP4", "2015-06-01 11:00:00");
        window = std::make_unique<FakePlayerWindow>();
        ASSERT_TRUE(window->m_frontPlayer.m_bUsable);
    }
    void OpenCard() {
        window->OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
        ASSERT_EQ(window->m_recordings.Entries().size(), 3u);
        ASSERT_TRUE(WaitFor([&] { return window->m_nDeferredOpenCountdown == 0; }, 3000));
        Running(1500);
    }
    // The front player's first time report: the recording runs.
    void Running(int64_t ms) { window->OnPlayerTime(ms); }
    // A list double-click opens once the players have let go of the last
    // recording.
    void WaitForListOpen() {
        ASSERT_TRUE(WaitFor([&] { return !window->Playback().WaitsForStop(); }));
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
    // Whether `calls` hold `function` on a player other than the front one
    // (P1): the rear player gets a new handle each time it is rebuilt.
    static bool HasOnRear(const std::string& calls, const std::string& function, size_t from = 0) {
        const std::string head = "libvlc_media_player_" + function + "(P";
        for (size_t at = calls.find(head, from); at != std::string::npos;
             at = calls.find(head, at + 1))
            if (calls.compare(at + head.size(), 2, "1)") != 0)
                return true;
        return false;
    }
    QString Playing() const {
        const QString path = window->m_recordings.GetCurrentPath();
        return path.mid(path.lastIndexOf('/') + 1);
    }
    // The rows a list shows as chosen: highlighted by the window or
    // selected by the view, and the view's current row.
    static std::set<int> ChosenRows(CRecordingListView& list) {
        std::set<int> rows;
        for (int row = 0; row < list.ItemCount(); ++row)
            if (list.ListModel()->IsHighlighted(row) || list.selectionModel()->isRowSelected(row))
                rows.insert(row);
        return rows;
    }

    TempCard card;
    std::unique_ptr<FakePlayerWindow> window;
    size_t m_seen = 0;
};

// Each step starts a recording; the rear pane shows a picture only when
// that recording has a rear file, and nothing plays there otherwise.
TEST_F(PlaybackStateTest, TheRearPaneShowsTheRearOfTheFrontRecordingOrItsIdlePicture) {
    OpenCard();
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* front;
        bool rearPicture;
    };
    FakePlayerWindow& w = *window;
    const Step steps[] = {
        {"auto play next, no rear file", [&] { w.Playback().HandleFrontEnd(); }, "MOVA0020.MP4",
         false},
        {"play/pause twice", [&] { w.OnPlayPause(), w.OnPlayPause(); }, "MOVA0020.MP4", false},
        {"double-click, rear file", [&] { w.OnOpenFile(0); }, "MOVA0010.MP4", true},
        {"Page Down, no rear file", [&] { w.PlayNeighbour(1); }, "MOVA0020.MP4", false},
        {"Page Up, rear file", [&] { w.PlayNeighbour(-1); }, "MOVA0010.MP4", true},
        {"group double-click, no rear file", [&] { w.OnOpenGroup(1); }, "MOVA0030.MP4", false},
    };
    for (const Step& step : steps) {
        NewCalls();
        step.act();
        WaitForListOpen();
        const std::string calls = NewCalls();
        EXPECT_EQ(Playing(), QString::fromLatin1(step.front)) << step.what;
        EXPECT_EQ(window->m_rearFrame.m_bIdle, step.rearPicture ? 0 : 1) << step.what;
        EXPECT_EQ(window->m_rearVideo.isHidden(), !step.rearPicture) << step.what;
        EXPECT_EQ(HasOnRear(calls, "play"), step.rearPicture) << step.what << "\n" << calls;
        if (!step.rearPicture) {
            // Nothing of the last rear recording plays on or stays shown.
            EXPECT_FALSE(window->m_rearPlayer.m_bPlaying) << step.what;
            EXPECT_EQ(window->m_rearPlayer.m_pMedia, nullptr) << step.what;
        }
        Running(1500);
    }
}

// The card's end brings the first recording back paused, with its rear
// file; Play then plays both cameras.
TEST_F(PlaybackStateTest, AfterTheCardsEndPlayPlaysBothCameras) {
    OpenCard();
    window->OnOpenFile(2);
    WaitForListOpen();
    Running(1500);
    ASSERT_EQ(Playing(), QStringLiteral("MOVA0030.MP4"));
    ASSERT_EQ(window->m_rearFrame.m_bIdle, 1);
    NewCalls();
    window->Playback().HandleFrontEnd();
    std::string calls = NewCalls();
    EXPECT_EQ(Playing(), QStringLiteral("MOVA0010.MP4"));
    const size_t rearOpened = calls.find("MOVA001R.MP4'");
    ASSERT_NE(rearOpened, std::string::npos) << calls;
    // The front player is paused once its recording runs, too.
    EXPECT_TRUE(WaitFor([&] { return Has(calls += NewCalls(), "libvlc_media_player_pause(P1)"); }))
        << calls;
    // The rear player is paused once its recording runs.
    EXPECT_TRUE(WaitFor([&] { return HasOnRear(calls += NewCalls(), "pause", rearOpened); }))
        << calls;
    EXPECT_EQ(window->m_rearFrame.m_bIdle, 0);
    window->OnPlayerState(4);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 0);

    window->m_btnPlay.click();
    calls = NewCalls();
    EXPECT_TRUE(Has(calls, "libvlc_media_player_play(P1)")) << calls;
    EXPECT_TRUE(HasOnRear(calls, "play")) << calls;
    // And a pause pauses both.
    window->m_btnPlay.click();
    calls = NewCalls();
    EXPECT_TRUE(Has(calls, "libvlc_media_player_pause(P1)")) << calls;
    EXPECT_TRUE(HasOnRear(calls, "pause")) << calls;

    // Play pressed before the rear recording ran: it is not paused later.
    Running(1500);
    window->OnOpenFile(2);
    WaitForListOpen();
    Running(1500);
    window->Playback().HandleFrontEnd();
    ASSERT_EQ(Playing(), QStringLiteral("MOVA0010.MP4"));
    window->m_btnPlay.click();
    NewCalls();
    QTest::qWait(200);
    calls = NewCalls();
    EXPECT_FALSE(HasOnRear(calls, "pause")) << calls;
    EXPECT_TRUE(window->m_rearPlayer.m_bPlaying);
}

// Cancelling the open dialog leaves playback alone; confirming a new
// source stops the players before it opens.
TEST_F(PlaybackStateTest, TheOpenDialogStopsPlaybackOnlyWhenConfirmed) {
    OpenCard();
    QTemporaryDir other;
    auto answerDialog = [&](bool confirm) {
        QTimer::singleShot(0, [&, confirm] {
            WaitFor([] {
                return qobject_cast<CMediaOpenDialog*>(QApplication::activeModalWidget()) !=
                       nullptr;
            });
            auto* dialog = qobject_cast<CMediaOpenDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (!confirm) {
                dialog->m_btnCancel->click();
                return;
            }
            dialog->m_radioFolder->click();
            dialog->m_editFolder->setText(other.path());
            dialog->m_btnOk->click();
        });
    };
    window->OnCommand(IDC_FAST);
    window->OnPlayerState(3);
    NewCalls();
    answerDialog(false);
    window->OnCommand(IDC_OPEN);
    std::string calls = NewCalls();
    EXPECT_FALSE(Has(calls, "_stop(")) << calls;
    EXPECT_FALSE(Has(calls, "set_rate")) << calls;
    EXPECT_EQ(window->Playback().RateIndex(), CPlaybackController::kDefaultRateIndex + 1);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 1);
    EXPECT_EQ(window->m_frontFrame.m_bIdle, 0);
    EXPECT_EQ(window->m_recordings.Entries().size(), 3u);

    answerDialog(true);
    window->OnCommand(IDC_OPEN);
    calls = NewCalls();
    EXPECT_TRUE(Has(calls, "libvlc_media_player_stop(P1)")) << calls;
    EXPECT_TRUE(HasOnRear(calls, "stop")) << calls;
    EXPECT_EQ(window->Playback().RateIndex(), CPlaybackController::kDefaultRateIndex);
    EXPECT_TRUE(window->m_recordings.Entries().empty());
}

// Stopped, the instruments say "no data" and the button shows Play, also
// when reports of the running recording were still on their way.
TEST_F(PlaybackStateTest, StopShowsNoDataAndThePlayPicture) {
    OpenCard();
    window->OnPlayerState(3);
    EXPECT_EQ(window->m_speed.m_bValid, 1);
    EXPECT_EQ(window->m_speed.m_nSpeedKmh, 36);
    EXPECT_TRUE(window->m_gpsIcon.m_bActive);

    // Reports of the recording that plays, still on their way.
    const qint64 serial = window->m_frontPlayer.m_nMediaSerial;
    QCoreApplication::postEvent(&window->Playback(),
                                new CPlayerMessageEvent(WM_PLAYER_TIME, 1600, serial));
    QCoreApplication::postEvent(&window->Playback(),
                                new CPlayerMessageEvent(WM_PLAYER_STATE, 3, serial));
    window->OnCommand(IDC_STOP);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->m_speed.m_bValid, 0);
    EXPECT_EQ(window->m_compass.m_nImage, 0u);
    EXPECT_FALSE(window->m_gpsIcon.m_bActive);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 0);
    EXPECT_EQ(window->m_positionSlider.value(), 0);

    // Play again: the readings come back with the first report.
    window->m_btnPlay.click();
    Running(2500);
    EXPECT_EQ(window->m_speed.m_bValid, 1);
    EXPECT_TRUE(window->m_gpsIcon.m_bActive);
}

// Delete stops playback before it asks: the window shows it stopped
// whatever the answer. Deleting the recording that plays takes its graph,
// marks and readings away; another deletion keeps it marked in its row.
TEST_F(PlaybackStateTest, DeleteShowsThePlaybackStoppedAndForgetsADeletedRecording) {
    OpenCard();
    window->OnPlayerState(3);
    window->m_positionSlider.SetEventMarks({100, 400});
    QAbstractItemModel* groups = window->m_groupList.model();
    auto tickOnly = [&](int group) {
        for (int row = 0; row < groups->rowCount(); ++row)
            groups->setData(groups->index(row, 0), row == group ? Qt::Checked : Qt::Unchecked,
                            Qt::CheckStateRole);
    };
    {
        tickOnly(0);
        BoxAnswer answer(QMessageBox::Cancel);
        window->OnCommand(IDC_DELETE);
        ASSERT_EQ(answer.m_texts.size(), 1);
    }
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 0);
    EXPECT_EQ(window->m_speed.m_bValid, 0);
    EXPECT_EQ(window->m_frontFrame.m_bIdle, 1);
    EXPECT_EQ(window->m_recordings.Entries().size(), 3u);
    EXPECT_FALSE(window->m_gsensor.m_samples.empty()) << "cancelled: the recording stays loaded";

    // Another group goes: the playing recording keeps its mark.
    window->m_btnPlay.click();
    Running(1500);
    {
        tickOnly(1);
        BoxAnswer answer(QMessageBox::Ok);
        window->OnCommand(IDC_DELETE);
    }
    ASSERT_EQ(window->m_recordings.Entries().size(), 2u);
    EXPECT_EQ(Playing(), QStringLiteral("MOVA0010.MP4"));
    EXPECT_EQ(ChosenRows(window->m_fileList), std::set<int>{0});
    EXPECT_FALSE(window->m_gsensor.m_samples.empty());

    // The playing recording's own group goes.
    window->m_btnPlay.click();
    Running(1500);
    {
        tickOnly(0);
        BoxAnswer answer(QMessageBox::Ok);
        window->OnCommand(IDC_DELETE);
    }
    ASSERT_EQ(window->m_recordings.Entries().size(), 0u);
    EXPECT_EQ(window->m_recordings.CurrentFile(), -1);
    EXPECT_TRUE(window->m_gsensor.m_samples.empty());
    EXPECT_TRUE(window->m_positionSlider.EventMarks().empty());
    EXPECT_EQ(window->m_speed.m_bValid, 0);
    EXPECT_EQ(window->m_btnPlay.m_bAltState, 0);
    EXPECT_EQ(window->m_rearFrame.m_bIdle, 1);
}

// After the playing recording was deleted, Play starts the list again.
TEST_F(PlaybackStateTest, PlayAfterThePlayingRecordingWasDeletedStartsTheFirst) {
    OpenCard();
    QAbstractItemModel* groups = window->m_groupList.model();
    groups->setData(groups->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    {
        BoxAnswer answer(QMessageBox::Ok);
        window->OnCommand(IDC_DELETE);
    }
    ASSERT_EQ(window->m_recordings.Entries().size(), 1u);
    EXPECT_EQ(ChosenRows(window->m_fileList), std::set<int>{});
    NewCalls();
    window->m_btnPlay.click();
    EXPECT_TRUE(Has(NewCalls(), "MOVA0030.MP4'"));
    EXPECT_EQ(Playing(), QStringLiteral("MOVA0030.MP4"));
    EXPECT_EQ(ChosenRows(window->m_fileList), std::set<int>{0});
}

// Exactly one row, the playing one, is chosen in each list after
// double-clicks, auto play next and a double-click the window ignored.
TEST_F(PlaybackStateTest, OnlyThePlayingRowIsChosenInEachList) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    OpenCard();
    auto doubleClick = [](CRecordingListView& list, int row) {
        const QRect cell = list.visualRect(list.model()->index(row, 1));
        ASSERT_TRUE(cell.isValid()) << row;
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        int fileRow;
        int groupRow;
        bool runs; // the recording reports its time afterwards
    };
    FakePlayerWindow& w = *window;
    const Step steps[] = {
        {"start", [] {}, 0, 0, true},
        {"file double-click", [&] { doubleClick(w.m_fileList, 2); }, 2, 1, true},
        {"auto play next at the end", [&] { w.Playback().HandleFrontEnd(); }, 0, 0, true},
        {"auto play next", [&] { w.Playback().HandleFrontEnd(); }, 1, 0, true},
        {"group double-click", [&] { doubleClick(w.m_groupList, 1); }, 2, 1, true},
        {"file double-click", [&] { doubleClick(w.m_fileList, 0); }, 0, 0, false},
        // Still opening (no time reported yet): the click is ignored and
        // the playing row stays the chosen one.
        {"ignored double-click", [&] { doubleClick(w.m_fileList, 2); }, 0, 0, true},
        {"ignored group double-click", [&] { doubleClick(w.m_groupList, 1); }, 0, 0, true},
    };
    for (const Step& step : steps) {
        if (std::string(step.what).rfind("ignored", 0) == 0)
            window->m_bOpening = true;
        step.act();
        WaitForListOpen();
        EXPECT_EQ(ChosenRows(window->m_fileList), std::set<int>{step.fileRow}) << step.what;
        EXPECT_EQ(ChosenRows(window->m_groupList), std::set<int>{step.groupRow}) << step.what;
        EXPECT_EQ(window->m_fileList.currentIndex().row(), step.fileRow) << step.what;
        EXPECT_EQ(window->m_groupList.currentIndex().row(), step.groupRow) << step.what;
        if (step.runs)
            Running(1500);
    }
}

} // namespace
} // namespace kolvex::testing
