// The window's keys, drops and keyboard reach, against the libVLC stand-in:
// each key does what its button does, through the same handler; keys stay
// with a list or a dialog that has the focus.
#include "app/info_panel.h"
#include "app/kolvex_dlg.h"
#include "card_fixture.h"
#include "fake_player_window.h"
#include "lists/media_open_dialog.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace kolvex::testing {
namespace {

class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake().loaded());
        fake().reset();
        // Ten minutes each, one after another.
        card.AddRecording("DCIM/CAMF/MOVA0010.MP4", "2015-06-01 10:00:00", 600'000);
        card.AddRecording("DCIM/CAMF/MOVA0020.MP4", "2015-06-01 10:10:00", 600'000);
        card.AddRecording("DCIM/CAMF/MOVA0030.MP4", "2015-06-01 10:20:00", 600'000);
        window = std::make_unique<FakePlayerWindow>();
        window->show();
    }
    void TearDown() override { CAppSettings::GetInstance().SetLanguage(kEnglishIndex); }
    void OpenCard() {
        window->OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
        ASSERT_EQ(window->m_recordings.Entries().size(), 3u);
        ASSERT_TRUE(WaitFor([&] { return window->m_nDeferredOpenCountdown == 0; }, 3000));
        // The picture at 100 s (of ten minutes).
        fake().setTimes(600'000, 100'000);
    }
    void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(target, key, modifiers);
    }

    TempCard card;
    std::unique_ptr<FakePlayerWindow> window;
};

TEST_F(ShortcutsTest, SeekKeysMoveThePendingSeekFromThePicture) {
    OpenCard();
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int64_t expected;
    };
    const Case cases[] = {
        {Qt::Key_Right, Qt::NoModifier, 105'000},
        {Qt::Key_Left, Qt::NoModifier, 95'000},
        {Qt::Key_Right, Qt::ShiftModifier, 160'000},
        {Qt::Key_Left, Qt::ShiftModifier, 40'000},
    };
    for (const Case& c : cases) {
        window->Playback().ClearPendingSeek();
        Key(window.get(), c.key, c.modifiers);
        EXPECT_EQ(window->Playback().PendingSeek(), c.expected) << c.key << " " << c.modifiers;
        EXPECT_EQ(window->m_positionSlider.value(), c.expected * 1000 / 600'000);
    }
    // Repeated presses add up from the pending target, within the recording.
    window->Playback().ClearPendingSeek();
    for (int i = 0; i < 3; ++i)
        Key(window.get(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(window->Playback().PendingSeek(), 0);
    for (int i = 0; i < 12; ++i)
        Key(window.get(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(window->Playback().PendingSeek(), 599'999);
    // The seek tick hands it to both players.
    ASSERT_TRUE(WaitFor([&] { return !window->Playback().PendingSeek(); }, 2000));
    EXPECT_NE(fake().log().find("libvlc_media_player_set_time(P1,599999)"), std::string::npos);
    EXPECT_NE(fake().log().find("libvlc_media_player_set_time(P2,599999)"), std::string::npos);
}

TEST_F(ShortcutsTest, EachKeyDoesWhatItsButtonDoes) {
    OpenCard();
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::function<int()> state; // changes exactly when the key worked
    };
    const Case cases[] = {
        {"Space: play/pause", Qt::Key_Space, Qt::NoModifier,
         [&] { return window->m_btnPlay.m_bAltState; }},
        {"Up: louder", Qt::Key_Up, Qt::NoModifier, [&] { return window->m_volumeSlider.value(); }},
        {"Down: quieter", Qt::Key_Down, Qt::NoModifier,
         [&] { return window->m_volumeSlider.value(); }},
        {"M: mute", Qt::Key_M, Qt::NoModifier, [&] { return window->m_btnMute.m_bAltState; }},
        {"+: faster", Qt::Key_Plus, Qt::NoModifier, [&] { return window->Playback().RateIndex(); }},
        {"-: slower", Qt::Key_Minus, Qt::NoModifier,
         [&] { return window->Playback().RateIndex(); }},
        {"Page Down: next", Qt::Key_PageDown, Qt::NoModifier,
         [&] { return window->m_recordings.CurrentFile(); }},
        {"Page Up: previous", Qt::Key_PageUp, Qt::NoModifier,
         [&] { return window->m_recordings.CurrentFile(); }},
    };
    window->m_volumeSlider.setValue(50);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window->m_bOpening = false; // as after the first time report
        const int before = c.state();
        Key(window.get(), c.key, c.modifiers);
        // A recording opens once the players have let go of the last one.
        ASSERT_TRUE(WaitFor([&] { return !window->Playback().WaitsForStop(); }));
        EXPECT_NE(c.state(), before);
    }
    EXPECT_EQ(window->m_volumeSlider.value(), 50);
    EXPECT_NE(fake().log().find("libvlc_audio_set_volume(P1,110)"), std::string::npos);
    EXPECT_NE(fake().log().find("libvlc_audio_set_mute(P1,1)"), std::string::npos);
}

TEST_F(ShortcutsTest, FullScreenOfTheFrontVideoAndEscapeBack) {
    Key(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible()) << "Escape does nothing outside full screen";
    OpenCard();
    Key(window.get(), Qt::Key_F);
    EXPECT_EQ(window->m_bFullScreen, 1);
    EXPECT_EQ(window->m_nFullScreenVideo, 1);
    Key(window.get(), Qt::Key_Escape);
    EXPECT_EQ(window->m_bFullScreen, 0);
    EXPECT_TRUE(window->isVisible());
    Key(window.get(), Qt::Key_F);
    Key(window.get(), Qt::Key_F);
    EXPECT_EQ(window->m_bFullScreen, 0);
}

TEST_F(ShortcutsTest, KeysStayWithAFocusedListOrDialog) {
    OpenCard();
    const int mute = window->m_btnMute.m_bAltState;
    const int rate = window->Playback().RateIndex();
    // Letters go to the list's inline search, arrows move in it.
    for (QWidget* list : {static_cast<QWidget*>(&window->m_fileList),
                          static_cast<QWidget*>(&window->m_groupList)}) {
        list->setFocus();
        Key(list, Qt::Key_M);
        Key(list, Qt::Key_Plus);
        Key(list, Qt::Key_Right);
        EXPECT_EQ(window->m_btnMute.m_bAltState, mute);
        EXPECT_EQ(window->Playback().RateIndex(), rate);
        EXPECT_FALSE(window->Playback().PendingSeek());
    }
    // Ctrl+O opens the open dialog; while it is up, the keys are its own.
    bool sawDialog = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CMediaOpenDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        sawDialog = true;
        Key(dialog, Qt::Key_M);
        Key(dialog, Qt::Key_Right);
        dialog->reject();
    });
    poll.start(20);
    window->m_bOpening = false; // as after the first time report
    Key(window.get(), Qt::Key_O, Qt::ControlModifier);
    poll.stop();
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(window->m_btnMute.m_bAltState, mute);
    EXPECT_FALSE(window->Playback().PendingSeek());
}

// Space plays and pauses whatever has the focus in the window (never the
// focused button's own click); a text field keeps its spaces.
TEST_F(ShortcutsTest, SpacePlaysOrPausesWhereverTheFocusIs) {
    OpenCard();
    auto* field = new QLineEdit(window.get());
    field->setGeometry(300, 10, 60, 20);
    field->show();
    struct Case {
        const char* name;
        QWidget* focus;
    };
    const Case cases[] = {
        {"the stop button", &window->m_btnStop},
        {"the open button", &window->m_btnOpen},
        {"the file list", &window->m_fileList},
        {"the group list", &window->m_groupList},
        {"the window", window.get()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.focus->setFocus(Qt::TabFocusReason);
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : c.focus;
        for (int press = 0; press < 2; ++press) {
            const int playing = window->m_frontPlayer.m_bPlaying;
            window->m_bOpening = false;
            Key(target, Qt::Key_Space);
            EXPECT_NE(window->m_frontPlayer.m_bPlaying, playing) << "press " << press;
        }
        EXPECT_EQ(window->m_frontFrame.m_bIdle, 0) << "Stop was pressed";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a dialog opened";
    }
    field->setFocus();
    const int playing = window->m_frontPlayer.m_bPlaying;
    Key(field, Qt::Key_Space);
    EXPECT_EQ(field->text(), " ");
    EXPECT_EQ(window->m_frontPlayer.m_bPlaying, playing);
}

// M shows the new picture of the mute button at once, as a click does.
TEST_F(ShortcutsTest, MuteKeyChangesTheButtonsPicture) {
    OpenCard();
    ASSERT_TRUE(WaitFor([&] { return window->m_btnMute.CurrentFace() != nullptr; }));
    const QImage before = window->m_btnMute.CurrentFace()->copy();
    Key(window.get(), Qt::Key_M);
    EXPECT_TRUE(WaitFor([&] { return *window->m_btnMute.CurrentFace() != before; }));
}

// In full screen, the mouse at the bottom of the video calls the slider,
// the time and the transport for three seconds; they work as the window's.
TEST_F(ShortcutsTest, FullScreenControlsComeWithTheMouseAtTheBottom) {
    OpenCard();
    CFullScreenControls& controls = window->m_fullScreenControls;
    const auto moveOverVideo = [&](int y) {
        QWindow* surface = window->m_frontVideo.SurfaceWindow();
        const QPointF local(200, y - window->m_frontVideo.mapTo(window.get(), QPoint(0, 0)).y());
        QMouseEvent move(QEvent::MouseMove, local, surface->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(surface, &move);
    };
    moveOverVideo(window->height() - 10);
    EXPECT_FALSE(controls.isVisible()) << "not outside full screen";
    Key(window.get(), Qt::Key_F);
    ASSERT_EQ(window->m_bFullScreen, 1);
    moveOverVideo(window->height() / 2);
    EXPECT_FALSE(controls.isVisible()) << "not for the middle of the picture";
    moveOverVideo(window->height() - 10);
    ASSERT_TRUE(controls.isVisible());
    EXPECT_EQ(controls.geometry().bottom(), window->height() - 1);
    EXPECT_EQ(controls.width(), window->width());
    // They follow the window: the picture of play, the slider and the time.
    window->OnPlayerTime(100'000);
    EXPECT_EQ(controls.Slider().PositionText(), "01:40 / 10:00");
    EXPECT_EQ(controls.Slider().TimeOfDayText(), "10:01:40");
    EXPECT_EQ(controls.PlayButton().m_bAltState, window->m_btnPlay.m_bAltState);
    // Their play button is the window's play/pause; their slider seeks.
    const int playing = window->m_frontPlayer.m_bPlaying;
    controls.PlayButton().click();
    EXPECT_NE(window->m_frontPlayer.m_bPlaying, playing);
    QTest::mouseClick(&controls.Slider(), Qt::LeftButton, {},
                      QPoint(controls.Slider().width() / 2, 10));
    ASSERT_TRUE(window->Playback().PendingSeek());
    EXPECT_NEAR(static_cast<double>(*window->Playback().PendingSeek()), 300'000.0, 6'000.0);
    // Three seconds after the mouse last moved they go.
    EXPECT_TRUE(WaitFor([&] { return !controls.isVisible(); }, 5000));
    moveOverVideo(window->height() - 10);
    EXPECT_TRUE(controls.isVisible());
    Key(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(controls.isVisible()) << "they leave with full screen";
}

TEST_F(ShortcutsTest, F1ListsTheKeysInTheCurrentLanguage) {
    ASSERT_TRUE(CAppSettings::GetInstance().SetLanguage(FindLanguageIndex(QStringLiteral("GER"))));
    Key(window.get(), Qt::Key_F1);
    auto* panel = qobject_cast<CInfoPanel*>(window->m_pInfoPanel.data());
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->Title(), QStringLiteral("Tastenkürzel"));
    QStringList texts;
    for (const QLabel* label : panel->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Vollbild ein / aus")))
        << texts.join(" | ").toStdString();
    EXPECT_EQ(texts.size(), 1 + 2 * static_cast<int>(CInfoPanel::ShortcutLines().size()));
    Key(panel, Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return window->m_pInfoPanel.isNull(); }, 1000));
}

TEST_F(ShortcutsTest, ADroppedFolderOrRecordingOpens) {
    struct Case {
        const char* name;
        QString path;
        size_t recordings;
    };
    const Case cases[] = {
        {"a folder", card.Root(), 3},
        {"a recording", card.Root() + "/DCIM/CAMF/MOVA0020.MP4", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(card.Root() + "/not-there"), QUrl::fromLocalFile(c.path)});
        const QPoint at = window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_TRUE(WaitFor([&] { return window->m_recordings.Entries().size() == c.recordings; }))
            << window->m_recordings.Entries().size();
    }
    // Anything else is refused.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

// Tab reaches every button and both lists, and each says its name.
TEST_F(ShortcutsTest, TabReachesEveryButtonAndListByName) {
    std::set<QWidget*> reached;
    QWidget* first = window->nextInFocusChain();
    QWidget* w = first;
    for (int i = 0; i < 200; ++i) {
        if (w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(window.get()))
            reached.insert(w);
        w = w->nextInFocusChain();
        if (w == first)
            break;
    }
    QWidget* const expected[] = {
        &window->m_btnPlay,     &window->m_btnStop,     &window->m_btnSlow,
        &window->m_btnFast,     &window->m_btnConfig,   &window->m_btnDelete,
        &window->m_btnSaveAs,   &window->m_btnSnapshot, &window->m_btnOpen,
        &window->m_btnAutoNext, &window->m_btnKml,      &window->m_btnMap,
        &window->m_btnGSensor,  &window->m_btnUnlock,   &window->m_btnClose,
        &window->m_btnMaximize, &window->m_btnMinimize, &window->m_btnAbout,
        &window->m_btnMute,     &window->m_btnSmall,    &window->m_btnMedium,
        &window->m_btnLarge,    &window->m_fileList,    &window->m_groupList,
    };
    for (QWidget* widget : expected) {
        EXPECT_TRUE(reached.count(widget)) << widget->accessibleName().toStdString();
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
    }
}

} // namespace
} // namespace kolvex::testing
