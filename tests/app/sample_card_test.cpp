// The whole player on the sample card, as a user meets it: real libVLC,
// the real web map, the card opened the way the command line opens it.
// Each test works on its own copy of the card that the test run wrote once.
#include "app/command_line.h"
#include "app/kolvex_dlg.h"
#include "lists/media_open_dialog.h"
#include "map/view/html_map_dlg.h"
#include "map/view/web_engine_setup.h"
#include "map_state.h"
#include "screen_checks.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"
#include "settings/string_tables.h"
#include "window_test_helpers.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <set>

namespace kolvex::testing {
namespace {

bool OverlayShown(CVlcPlayer& player) {
    using GetMarquee = int (*)(libvlc_media_player_t*, unsigned);
    auto get =
        reinterpret_cast<GetMarquee>(dlsym(player.m_hLibrary, "libvlc_video_get_marquee_int"));
    return get && player.m_pPlayer && get(player.m_pPlayer, 0 /* libvlc_marquee_Enable */) != 0;
}

// A checksum of a picture's pixels: the idle picture of a frame is known
// by it.
QByteArray Checksum(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    QCryptographicHash hash(QCryptographicHash::Md5);
    for (int y = 0; y < pixels.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(pixels.constScanLine(y)),
                                    pixels.width() * 4));
    return hash.result().toHex();
}

// The rows a list shows as chosen: highlighted by the window or selected
// by the view.
std::set<int> ChosenRows(CRecordingListView& list) {
    std::set<int> rows;
    for (int row = 0; row < list.ItemCount(); ++row)
        if (list.ListModel()->IsHighlighted(row) || list.selectionModel()->isRowSelected(row))
            rows.insert(row);
    return rows;
}

// A private copy of the card the test run wrote, modes included.
class CardCopy {
public:
    CardCopy() {
        const QString written = QStringLiteral(KOLVEX_SAMPLE_CARD_DIR);
        if (!QFileInfo::exists(written + "/DCIM")) {
            problem = "no sample card at " + written;
            return;
        }
        root = m_dir.path() + "/card";
        if (QProcess::execute(QStringLiteral("cp"), {"-a", written, root}) != 0)
            problem = "cannot copy the sample card";
    }
    QString Path(const QString& relative) const { return root + "/" + relative; }
    QString root;
    QString problem;

private:
    QTemporaryDir m_dir;
};

class SampleCardWindow : public CKolvexDlg {
public:
    QString ChooseSnapshotPath() override { return m_snapshotPath; }
    QString ChooseSaveFolder() override { return m_saveFolder; }
    QString m_snapshotPath;
    QString m_saveFolder;
};

class SampleCardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(card.problem.isEmpty()) << card.problem.toStdString();
        window.OnInitDialog();
        ASSERT_TRUE(window.m_frontPlayer.m_bUsable) << "libVLC is needed here";
        ASSERT_NE(window.m_pMapDlg, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override {
        CAppSettings::GetInstance().SetLanguage(kEnglishIndex);
        window.close();
    }
    // As `kolvex CARD` does once its window shows.
    void OpenFromCommandLine(const QString& path) {
        QString error;
        const int source = SourceForPath(path, &error);
        ASSERT_GE(source, 0) << error.toStdString();
        window.OpenSource(source, QFileInfo(path).absoluteFilePath());
    }
    // The list rows of a recording, by its file name.
    int EntryOf(const QString& name) const {
        const auto& entries = window.m_recordings.Entries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].name == name)
                return static_cast<int>(i);
        return -1;
    }
    int GroupOf(const QString& name) const {
        const int entry = EntryOf(name);
        for (const RecordingGroup& group : window.m_recordings.Groups())
            if (entry >= group.firstEntry && entry < group.firstEntry + group.count)
                return group.index;
        return -1;
    }
    bool WaitUntilPlaying(const QString& frontName) {
        return WaitFor(
            [&] {
                return window.m_recordings.GetCurrentPath().endsWith("/" + frontName) &&
                       window.m_btnPlay.m_bAltState == 1 && window.m_frontPlayer.GetTime() > 0;
            },
            15000);
    }
    // Seeks both players as the position slider does, to `ms` of the front
    // recording, and waits until the seek tick applied it.
    void SeekTo(int64_t ms) {
        const int64_t length = window.m_frontPlayer.GetLength();
        ASSERT_GT(length, 0);
        window.m_positionSlider.setValue(static_cast<int>(ms * 1000 / length));
        window.OnSeekChanged();
        ASSERT_TRUE(WaitFor([&] { return !window.Playback().PendingSeek(); }, 3000));
    }

    CardCopy card;
    SampleCardWindow window;
};

TEST_F(SampleCardTest, OpensFromTheCommandLineAndPlaysWithEveryInstrument) {
    OpenFromCommandLine(card.root);
    EXPECT_EQ(window.m_recordings.Entries().size(), 8u);
    EXPECT_EQ(window.m_groupList.model()->rowCount(), 4);
    EXPECT_EQ(window.m_fileList.model()->rowCount(), 8);

    // The folder's first recording starts a moment later, with its rear file.
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    EXPECT_TRUE(MediaAddress(window.m_frontPlayer).endsWith("/DCIM/CAMF/MOVA0010.MP4"));
    EXPECT_TRUE(MediaAddress(window.m_rearPlayer).endsWith("/DCIM/CAMR/MOVA001R.MP4"))
        << MediaAddress(window.m_rearPlayer).toStdString();
    EXPECT_TRUE(WaitFor([&] { return window.m_rearPlayer.GetTime() > 0; }, 5000));

    // The instruments follow the recording: the commute pulls away from a
    // standstill, so the speed read-out takes several values; the graph's
    // cursor moves with the time.
    std::set<int> speeds;
    std::set<double> cursor;
    QDeadlineTimer watch(6000);
    while (!watch.hasExpired()) {
        QTest::qWait(100);
        speeds.insert(window.m_speed.m_nSpeedKmh);
        cursor.insert(window.m_gsensor.m_dCurrentMs);
    }
    EXPECT_GE(speeds.size(), 3u);
    EXPECT_GE(cursor.size(), 10u);
    EXPECT_TRUE(window.m_gpsIcon.m_bActive);

    // The map shows the whole path, the car where the last fix was and the
    // path driven so far, growing as the recording plays.
    QJsonObject map = MapState(*window.m_pMapDlg);
    EXPECT_EQ(map["path"].toArray().size(), 20) << QJsonDocument(map).toJson().toStdString();
    const qsizetype drivenBefore = map["driven"].toArray().size();
    EXPECT_GE(drivenBefore, 3);
    ASSERT_TRUE(map["marker"].isArray());
    QTest::qWait(2000);
    map = MapState(*window.m_pMapDlg);
    const QJsonArray driven = map["driven"].toArray();
    EXPECT_GT(driven.size(), drivenBefore);
    const QJsonArray marker = map["marker"].toArray();
    const QJsonArray last = driven.last().toArray();
    EXPECT_NEAR(marker[0].toDouble(), last[0].toDouble(), 0.0005);
    EXPECT_NEAR(marker[1].toDouble(), last[1].toDouble(), 0.0005);
    EXPECT_NEAR(marker[0].toDouble(), 52.508, 0.01);
    EXPECT_NEAR(marker[1].toDouble(), 13.390, 0.02);

    // Both pictures are on the screen.
    window.raise();
    QTest::qWait(300);
    QDir().mkpath(QStringLiteral(KOLVEX_SCREENSHOT_DIR));
    Grab(window).save(QStringLiteral(KOLVEX_SCREENSHOT_DIR) + "/sample_card_playing.png");
    EXPECT_GE(DistinctColours(Grab(window.m_frontVideo)), 12);
    EXPECT_GE(DistinctColours(Grab(window.m_rearVideo)), 12);

    // A seek lands both players near the target; the turn at its end turns
    // the compass card.
    const unsigned compassBefore = window.m_compass.m_nImage;
    SeekTo(17000);
    QTest::qWait(400);
    for (CVlcPlayer* player : {&window.m_frontPlayer, &window.m_rearPlayer}) {
        EXPECT_GE(player->GetTime(), 16400);
        EXPECT_LE(player->GetTime(), 19500);
    }
    EXPECT_TRUE(WaitFor([&] { return window.m_compass.m_nImage != compassBefore; }, 3000));

    // Faster shows the rate on both pictures; back to normal takes it away.
    window.OnCommand(IDC_FAST);
    EXPECT_TRUE(OverlayShown(window.m_frontPlayer));
    EXPECT_TRUE(OverlayShown(window.m_rearPlayer));
    EXPECT_STREQ(CPlaybackController::RateLabelAt(window.Playback().RateIndex()), "1.2 X");
    window.OnCommand(IDC_SLOW);
    EXPECT_FALSE(OverlayShown(window.m_frontPlayer));
    EXPECT_FALSE(OverlayShown(window.m_rearPlayer));

    // At the end the next recording plays, with its own rear file.
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVG0020.MP4")));
    EXPECT_TRUE(MediaAddress(window.m_rearPlayer).endsWith("/DCIM/CAMR/MOVG002R.MP4"));
    EXPECT_TRUE(WaitFor([&] { return window.m_rearPlayer.GetTime() > 0; }, 5000));
    // The list marks the recording that plays.
    QAbstractItemModel* files = window.m_fileList.model();
    const int next = EntryOf(QStringLiteral("MOVG0020.MP4"));
    EXPECT_TRUE(files->data(files->index(next, 0), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(files->data(files->index(next - 1, 0), Qt::BackgroundRole).isValid());
}

TEST_F(SampleCardTest, TheFixIsLostInTheTunnelAndFoundAgain) {
    OpenFromCommandLine(card.root);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    // List double-clicks wait until the opening recording reported its time.
    ASSERT_TRUE(WaitFor([&] { return !window.m_bOpening; }, 5000));
    window.OnOpenGroup(GroupOf(QStringLiteral("MOVA0040.MOV")));
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0040.MOV")));
    ASSERT_TRUE(WaitFor([&] { return !window.m_bOpening; }, 5000));
    window.OnOpenFile(EntryOf(QStringLiteral("MOVA0050.MOV")));
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0050.MOV")));
    EXPECT_TRUE(WaitFor([&] { return window.m_gpsIcon.m_bActive; }, 3000));

    // Six to thirteen seconds into this recording the car is in the tunnel.
    SeekTo(8000);
    EXPECT_TRUE(WaitFor([&] { return !window.m_gpsIcon.m_bActive; }, 3000));
    QTest::qWait(500);
    EXPECT_FALSE(window.m_gpsIcon.m_bActive);
    const qsizetype drivenInTunnel = MapState(*window.m_pMapDlg)["driven"].toArray().size();
    SeekTo(15000);
    EXPECT_TRUE(WaitFor([&] { return window.m_gpsIcon.m_bActive; }, 3000));
    EXPECT_GT(window.m_speed.m_nSpeedKmh, 40);
    QTest::qWait(500);
    EXPECT_GT(MapState(*window.m_pMapDlg)["driven"].toArray().size(), drivenInTunnel);
}

// The hard braking for the pedestrian: a mark on the slider, the graph and
// the map; a click on the slider's mark seeks to two seconds before it.
TEST_F(SampleCardTest, TheBrakingIsMarkedAndAClickOnItsMarkSeeksThere) {
    OpenFromCommandLine(card.root);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    EXPECT_TRUE(window.m_positionSlider.EventMarks().empty());
    ASSERT_TRUE(WaitFor([&] { return !window.m_bOpening; }, 5000));
    window.OnOpenFile(EntryOf(QStringLiteral("MOVG0020.MP4")));
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVG0020.MP4")));

    ASSERT_EQ(window.m_currentEvents.size(), 1u);
    EXPECT_EQ(window.m_currentEvents[0].kind, DrivingEventKind::Braking);
    EXPECT_NEAR(static_cast<double>(window.m_currentEvents[0].timeMs), 7600, 300);
    ASSERT_EQ(window.m_positionSlider.EventMarks().size(), 1u);
    EXPECT_NEAR(window.m_positionSlider.EventMarks()[0], 380, 15);
    EXPECT_EQ(window.m_gsensor.m_eventMarksMs,
              std::vector<int64_t>{window.m_currentEvents[0].timeMs});
    QTest::qWait(500);
    const QJsonArray marks = MapState(*window.m_pMapDlg)["eventMarks"].toArray();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_TRUE(marks[0].toObject()["label"].toString().startsWith("Hard braking 00:07."))
        << marks[0].toObject()["label"].toString().toStdString();

    // The trip figures: the row's tip and the T panel.
    const QString tip = window.m_fileList.m_rowTip(EntryOf(QStringLiteral("MOVG0020.MP4")));
    EXPECT_TRUE(tip.contains(QStringLiteral("Events: 1"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Duration: 0:20"))) << tip.toStdString();
    const QString groupTip = window.m_groupList.m_rowTip(GroupOf(QStringLiteral("MOVG0020.MP4")));
    EXPECT_TRUE(groupTip.contains(QStringLiteral("Events: 1"))) << groupTip.toStdString();
    QTest::keyClick(&window, Qt::Key_T);
    ASSERT_FALSE(window.m_pInfoPanel.isNull());
    EXPECT_TRUE(window.m_pInfoPanel->findChildren<QLabel*>().first()->text().endsWith(
        QStringLiteral("MOVG0020.MP4")));
    QTest::qWait(200);
    window.m_pInfoPanel->grab().save(QStringLiteral(KOLVEX_SCREENSHOT_DIR) + "/trip_panel.png");
    QTest::keyClick(&window, Qt::Key_F1);
    QTest::qWait(200);
    window.m_pInfoPanel->grab().save(QStringLiteral(KOLVEX_SCREENSHOT_DIR) + "/keys_panel.png");
    window.m_pInfoPanel->close();

    const int x = window.m_positionSlider.MarkX(window.m_positionSlider.EventMarks()[0]);
    QTest::mouseClick(&window.m_positionSlider, Qt::LeftButton, Qt::NoModifier,
                      QPoint(x, window.m_positionSlider.height() / 2));
    ASSERT_TRUE(WaitFor([&] { return !window.Playback().PendingSeek(); }, 3000));
    QTest::qWait(300);
    window.raise();
    QTest::qWait(200);
    Grab(window).save(QStringLiteral(KOLVEX_SCREENSHOT_DIR) + "/sample_card_braking.png");
    const int64_t expected = window.m_currentEvents[0].timeMs - 2000;
    EXPECT_GE(window.m_frontPlayer.GetTime(), expected - 400);
    EXPECT_LE(window.m_frontPlayer.GetTime(), expected + 1500);
}

// Switched on in the configuration, the route coloured by speed comes with
// the reloaded page, along with the path and the part already driven.
TEST_F(SampleCardTest, TheRouteColouredBySpeedComesWithTheConfiguration) {
    OpenFromCommandLine(card.root);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    QTest::qWait(3000);
    EXPECT_EQ(MapState(*window.m_pMapDlg)["speedRoute"].toObject()["points"].toInt(), 0);
    CAppSettings::GetInstance().WriteInt(KolvexIni::kSectionUI, KolvexIni::kRouteSpeed, 1);
    // As the configuration dialog announces an applied map choice.
    QCoreApplication::postEvent(&window, new QEvent(QEvent::Type(0xC0B)));
    QJsonObject map;
    EXPECT_TRUE(WaitFor(
        [&] {
            if (!window.m_pMapDlg->IsPageReady())
                return false;
            map = MapState(*window.m_pMapDlg);
            return map["speedRoute"].toObject()["points"].toInt() == 20;
        },
        15000))
        << QJsonDocument(map).toJson().toStdString();
    EXPECT_EQ(map["path"].toArray().size(), 20);
    // The driven part up to the picture, then on with the car.
    EXPECT_GE(map["driven"].toArray().size(), 1);
    EXPECT_TRUE(
        WaitFor([&] { return MapState(*window.m_pMapDlg)["driven"].toArray().size() >= 4; }, 8000));
    EXPECT_TRUE(map["speedRoute"].toObject()["legend"].toString().endsWith(" km/h"));
    window.raise();
    QTest::qWait(300);
    Grab(*window.m_pMapDlg).save(QStringLiteral(KOLVEX_SCREENSHOT_DIR) + "/speed_route_map.png");
    CAppSettings::GetInstance().WriteInt(KolvexIni::kSectionUI, KolvexIni::kRouteSpeed, 0);
}

TEST_F(SampleCardTest, FileCommandsWorkOnTheCard) {
    OpenFromCommandLine(card.root);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    QTest::qWait(1000);

    // The snapshot: the front picture at the recording's own size.
    QTemporaryDir output;
    window.m_snapshotPath = output.path() + "/front.jpg";
    window.OnCommand(IDC_SNAPSHOT);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(window.m_snapshotPath).size() > 0; }, 5000));
    EXPECT_EQ(QImage(window.m_snapshotPath).size(), QSize(1920, 1080));

    // The track of the playing recording, into the documents folder.
    {
        BoxAnswer answer(QMessageBox::Ok);
        window.OnCommand(IDC_KML);
        ASSERT_EQ(answer.m_texts.size(), 1);
        EXPECT_TRUE(answer.m_texts[0].endsWith(" OK.")) << answer.m_texts[0].toStdString();
    }
    const QString kmlFolder = QDir::homePath() + "/Documents/KOLVEX/KML";
    EXPECT_FALSE(QDir(kmlFolder).entryList({QStringLiteral("*.KML")}).isEmpty());

    // Copy the first group (its rear files go along), unlock the evening
    // drive, delete the parked car's recording: the lists' boxes ticked as a
    // user ticks them.
    QAbstractItemModel* groups = window.m_groupList.model();
    auto tickOnly = [&](int group) {
        for (int row = 0; row < groups->rowCount(); ++row)
            groups->setData(groups->index(row, 0), row == group ? Qt::Checked : Qt::Unchecked,
                            Qt::CheckStateRole);
    };
    tickOnly(GroupOf(QStringLiteral("MOVA0010.MP4")));
    window.m_saveFolder = output.path();
    {
        BoxAnswer answer(QMessageBox::Ok);
        window.OnCommand(IDC_SAVE_AS);
        // Only the closing word of a copy that went well.
        EXPECT_EQ(
            answer.m_texts,
            QStringList{QStringLiteral("5 of 5 files were copied to %1.").arg(output.path())});
    }
    const std::pair<const char*, const char*> copies[] = {
        {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMF/MOVA0010.MP4"},
        {"DCIM/CAMF/MOVG0020.MP4", "DCIM/CAMF/MOVG0020.MP4"},
        {"DCIM/CAMF/MOVA0030.MP4", "DCIM/CAMF/MOVA0030.MP4"},
        // A rear copy goes beside its front copy, where the lookup finds it first.
        {"DCIM/CAMR/MOVA001R.MP4", "DCIM/CAMF/MOVA001R.MP4"},
        {"DCIM/CAMR/MOVG002R.MP4", "DCIM/CAMF/MOVG002R.MP4"},
    };
    for (const auto& [source, copy] : copies)
        EXPECT_EQ(QFileInfo(output.path() + "/" + copy).size(), QFileInfo(card.Path(source)).size())
            << copy;

    const QString locked = card.Path("DCIM/AVI/MOVA0070.AVI");
    ASSERT_FALSE(QFileInfo(locked).isWritable() && ::geteuid() != 0);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(locked).constData(), &before), 0);
    ASSERT_EQ(before.st_mode & S_IWUSR, 0u);
    tickOnly(GroupOf(QStringLiteral("MOVA0070.AVI")));
    {
        BoxAnswer answer(QMessageBox::Ok);
        window.OnCommand(IDC_UNLOCK);
        EXPECT_TRUE(answer.m_texts.isEmpty()) << answer.m_texts.join(" | ").toStdString();
    }
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(locked).constData(), &after), 0);
    EXPECT_NE(after.st_mode & S_IWUSR, 0u);

    tickOnly(GroupOf(QStringLiteral("MOVA0080.MP4")));
    {
        BoxAnswer answer(QMessageBox::Ok);
        window.OnCommand(IDC_DELETE);
        ASSERT_FALSE(answer.m_texts.isEmpty());
        EXPECT_TRUE(answer.m_texts[0].startsWith(LoadLangString(129)))
            << answer.m_texts[0].toStdString();
        EXPECT_EQ(answer.m_texts.size(), 1) << answer.m_texts.join(" | ").toStdString();
    }
    EXPECT_FALSE(QFile::exists(card.Path("DCIM/CAMF/MOVA0080.MP4")));
    EXPECT_TRUE(QFile::exists(card.Path("DCIM/CAMF/MOVA0010.MP4")));
}

TEST_F(SampleCardTest, GermanRelabelsTheListsAndTheTips) {
    OpenFromCommandLine(card.root);
    QAbstractItemModel* files = window.m_fileList.model();
    const QString englishHeader = files->headerData(2, Qt::Horizontal).toString();
    const QString englishPlay = window.m_btnPlay.accessibleName();

    ASSERT_TRUE(CAppSettings::GetInstance().SetLanguage(FindLanguageIndex(QStringLiteral("GER"))));
    // As the configuration dialog announces it.
    QCoreApplication::postEvent(&window, new QEvent(QEvent::Type(0xC02)));
    QTest::qWait(100);

    EXPECT_EQ(files->headerData(2, Qt::Horizontal).toString(),
              LoadLangString(StringId::ColumnStartTime));
    EXPECT_NE(files->headerData(2, Qt::Horizontal).toString(), englishHeader);
    EXPECT_EQ(window.m_groupList.model()->headerData(0, Qt::Horizontal).toString(),
              LoadLangString(StringId::ColumnGroup));
    EXPECT_NE(window.m_btnPlay.accessibleName(), englishPlay);
    ASSERT_TRUE(window.m_toolTip.ShowTip(&window.m_btnPlay, window.mapToGlobal(QPoint(10, 10))));
    EXPECT_EQ(window.m_toolTip.TipWindow().m_strLabel, window.m_btnPlay.accessibleName());
    window.m_toolTip.HideTip();
}

// What the window shows after each step a user takes through the card:
// the rear pane (the rear camera's picture or the idle picture), the play
// button's picture, the speed read-out, the car and the driven path on the
// map, and the rows chosen in both lists.
TEST_F(SampleCardTest, TheWindowShowsWhatPlays) {
    QDir().mkpath(QStringLiteral(KOLVEX_SCREENSHOT_DIR));
    window.raise();
    QTest::qWait(300);
    // The rear frame's idle picture, as the screen shows it before anything
    // was opened.
    const QByteArray idle = Checksum(Grab(window.m_rearFrame));
    OpenFromCommandLine(card.root);

    enum class Driven { Any, None, Fresh };
    struct Shown {
        QString front;    // the recording that is current
        QString rear;     // the rear file that shows, or empty: the idle picture
        bool pauseButton; // the play button shows its pause picture
        bool speed;       // the speed read-out shows a reading
        bool car;         // the car is on the map
        Driven driven = Driven::Any;
    };
    int shot = 0;
    const auto expectShown = [&](const char* step, const Shown& want) {
        SCOPED_TRACE(step);
        const int row = EntryOf(want.front);
        EXPECT_TRUE(window.m_recordings.GetCurrentPath().endsWith("/" + want.front))
            << window.m_recordings.GetCurrentPath().toStdString();
        EXPECT_EQ(ChosenRows(window.m_fileList), std::set<int>{row});
        EXPECT_EQ(ChosenRows(window.m_groupList), std::set<int>{GroupOf(want.front)});
        // Both lists show the playing row.
        for (CRecordingListView* list : {static_cast<CRecordingListView*>(&window.m_fileList),
                                         static_cast<CRecordingListView*>(&window.m_groupList)}) {
            const int shown = list == &window.m_fileList ? row : GroupOf(want.front);
            const QRect cell = list->visualRect(list->model()->index(shown, 0));
            EXPECT_TRUE(list->viewport()->rect().contains(QRect(0, cell.top(), 1, cell.height())))
                << "row " << shown << " at " << cell.top() << " of " << list->viewport()->height();
        }
        EXPECT_EQ(window.m_btnPlay.m_bAltState, want.pauseButton ? 1 : 0);
        EXPECT_TRUE(WaitFor([&] { return (window.m_speed.m_bValid != 0) == want.speed; }, 3000));
        QJsonObject map;
        EXPECT_TRUE(WaitFor(
            [&] {
                map = MapState(*window.m_pMapDlg);
                return map["marker"].isArray() == want.car;
            },
            5000))
            << QJsonDocument(map).toJson().toStdString();
        const QJsonArray driven = map["driven"].toArray();
        if (want.driven == Driven::None) {
            EXPECT_TRUE(driven.isEmpty()) << QJsonDocument(map).toJson().toStdString();
        } else if (want.driven == Driven::Fresh) {
            // Begun anew at the recording's start: no line from where the
            // last drive ended.
            const QJsonArray start = map["path"].toArray().first().toArray();
            ASSERT_FALSE(driven.isEmpty());
            EXPECT_NEAR(driven.first().toArray()[0].toDouble(), start[0].toDouble(), 0.0003);
            EXPECT_NEAR(driven.first().toArray()[1].toDouble(), start[1].toDouble(), 0.0003);
        }
        window.raise();
        QTest::qWait(300);
        const QImage rearPane = Grab(window.m_rearFrame);
        rearPane.save(QStringLiteral(KOLVEX_SCREENSHOT_DIR) +
                      QStringLiteral("/rear_pane_%1.png").arg(++shot));
        if (want.rear.isEmpty()) {
            EXPECT_EQ(window.m_rearFrame.m_bIdle, 1);
            EXPECT_TRUE(window.m_rearVideo.isHidden());
            EXPECT_EQ(Checksum(rearPane), idle) << "rear_pane_" << shot << ".png";
        } else {
            EXPECT_TRUE(MediaAddress(window.m_rearPlayer).endsWith("/" + want.rear))
                << MediaAddress(window.m_rearPlayer).toStdString();
            EXPECT_FALSE(window.m_rearVideo.isHidden());
            EXPECT_NE(Checksum(rearPane), idle) << "rear_pane_" << shot << ".png";
            EXPECT_GE(DistinctColours(Grab(window.m_rearVideo)), 12)
                << "rear_pane_" << shot << ".png";
        }
    };
    const auto startedAndRunning = [&](const QString& name) {
        EXPECT_TRUE(WaitUntilPlaying(name)) << name.toStdString();
        EXPECT_TRUE(WaitFor([&] { return !window.m_bOpening; }, 5000));
    };
    const auto doubleClickRow = [&](const QString& name) {
        const QModelIndex index = window.m_fileList.model()->index(EntryOf(name), 1);
        window.m_fileList.scrollTo(index);
        QTest::mouseDClick(window.m_fileList.viewport(), Qt::LeftButton, {},
                           window.m_fileList.visualRect(index).center());
    };
    // Near the end, so that the recording's end comes within a second.
    const auto nearItsEnd = [&] { SeekTo(window.m_frontPlayer.GetLength() - 800); };

    startedAndRunning(QStringLiteral("MOVA0010.MP4"));
    expectShown("the card opened", {"MOVA0010.MP4", "MOVA001R.MP4", true, true, true});

    doubleClickRow(QStringLiteral("MOVG0020.MP4"));
    startedAndRunning(QStringLiteral("MOVG0020.MP4"));
    expectShown("a double-click", {"MOVG0020.MP4", "MOVG002R.MP4", true, true, true});

    nearItsEnd();
    startedAndRunning(QStringLiteral("MOVA0030.MP4"));
    expectShown("auto play next, no rear file", {"MOVA0030.MP4", "", true, true, true});

    QTest::keyClick(&window, Qt::Key_PageDown);
    startedAndRunning(QStringLiteral("MOVA0040.MOV"));
    // No fix for its first 2.5 seconds.
    ASSERT_TRUE(WaitFor([&] { return window.m_frontPlayer.GetTime() > 3500; }, 8000));
    expectShown("Page Down, rear file", {"MOVA0040.MOV", "MOVA004R.MOV", true, true, true});

    nearItsEnd();
    startedAndRunning(QStringLiteral("MOVA0050.MOV"));
    expectShown("auto play next, no rear file", {"MOVA0050.MOV", "", true, true, true});

    QTest::keyClick(&window, Qt::Key_PageUp);
    startedAndRunning(QStringLiteral("MOVA0040.MOV"));
    ASSERT_TRUE(WaitFor([&] { return window.m_frontPlayer.GetTime() > 3500; }, 8000));
    expectShown("Page Up, rear file", {"MOVA0040.MOV", "MOVA004R.MOV", true, true, true});

    doubleClickRow(QStringLiteral("MOVA0080.MP4"));
    startedAndRunning(QStringLiteral("MOVA0080.MP4"));
    expectShown("a recording without GPS", {"MOVA0080.MP4", "", true, false, false});

    // The card's end: the first recording comes back paused, with its rear
    // picture; Play plays both.
    const QString last = window.m_recordings.Entries().back().name;
    doubleClickRow(last);
    startedAndRunning(last);
    nearItsEnd();
    ASSERT_TRUE(WaitFor(
        [&] {
            return window.m_recordings.GetCurrentPath().endsWith("/MOVA0010.MP4") &&
                   window.m_btnPlay.m_bAltState == 0;
        },
        8000));
    QTest::qWait(1000);
    expectShown("the card's end", {"MOVA0010.MP4", "MOVA001R.MP4", false, true, true});
    // Both held near their start.
    const int64_t frontHeld = window.m_frontPlayer.GetTime();
    const int64_t rearHeld = window.m_rearPlayer.GetTime();
    QTest::qWait(700);
    EXPECT_EQ(window.m_frontPlayer.GetTime(), frontHeld);
    EXPECT_EQ(window.m_rearPlayer.GetTime(), rearHeld);
    EXPECT_LT(rearHeld, 1000);
    window.m_btnPlay.click();
    const int64_t rearBefore = window.m_rearPlayer.GetTime();
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    EXPECT_TRUE(WaitFor([&] { return window.m_rearPlayer.GetTime() > rearBefore + 1000; }, 5000))
        << "the rear camera plays too";
    expectShown("Play after the card's end",
                {"MOVA0010.MP4", "MOVA001R.MP4", true, true, true, Driven::Fresh});

    // Open, then Cancel: playback goes on untouched.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<CMediaOpenDialog*>(QApplication::activeModalWidget()))
            dialog->m_btnCancel->click();
    });
    cancel.start(300);
    window.OnCommand(IDC_OPEN);
    cancel.stop();
    const int64_t front = window.m_frontPlayer.GetTime();
    const int64_t rear = window.m_rearPlayer.GetTime();
    EXPECT_TRUE(WaitFor(
        [&] {
            return window.m_frontPlayer.GetTime() > front + 1000 &&
                   window.m_rearPlayer.GetTime() > rear + 1000;
        },
        5000));
    expectShown("Open, then Cancel", {"MOVA0010.MP4", "MOVA001R.MP4", true, true, true});

    QTest::qWait(3000);
    const qsizetype drivenBeforeStop = MapState(*window.m_pMapDlg)["driven"].toArray().size();
    window.OnCommand(IDC_STOP);
    expectShown("Stop", {"MOVA0010.MP4", "", false, false, false, Driven::None});

    // Played again: a new drive from the start, without the old one.
    window.m_btnPlay.click();
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    QTest::qWait(1000);
    expectShown("Play after Stop",
                {"MOVA0010.MP4", "MOVA001R.MP4", true, true, true, Driven::Fresh});
    EXPECT_LT(MapState(*window.m_pMapDlg)["driven"].toArray().size(), drivenBeforeStop);

    // Delete stops playback before it asks; the window says so, also when
    // the user cancels.
    QAbstractItemModel* groups = window.m_groupList.model();
    auto tickOnly = [&](int group) {
        for (int row = 0; row < groups->rowCount(); ++row)
            groups->setData(groups->index(row, 0), row == group ? Qt::Checked : Qt::Unchecked,
                            Qt::CheckStateRole);
    };
    tickOnly(GroupOf(QStringLiteral("MOVA0010.MP4")));
    {
        BoxAnswer answer(QMessageBox::Cancel);
        window.OnCommand(IDC_DELETE);
        EXPECT_EQ(answer.m_texts.size(), 1);
    }
    expectShown("Delete, then Cancel", {"MOVA0010.MP4", "", false, false, false, Driven::None});
    EXPECT_TRUE(QFile::exists(card.Path("DCIM/CAMF/MOVA0010.MP4")));

    // The playing recording deleted: nothing of it stays.
    window.m_btnPlay.click();
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    ASSERT_TRUE(WaitFor([&] {
        return !window.m_positionSlider.EventMarks().empty() || !window.m_gsensor.m_samples.empty();
    }));
    {
        BoxAnswer answer(QMessageBox::Ok);
        window.OnCommand(IDC_DELETE);
    }
    ASSERT_FALSE(QFile::exists(card.Path("DCIM/CAMF/MOVA0010.MP4")));
    EXPECT_EQ(window.m_recordings.CurrentFile(), -1);
    EXPECT_TRUE(ChosenRows(window.m_fileList).empty());
    EXPECT_TRUE(ChosenRows(window.m_groupList).empty());
    EXPECT_TRUE(window.m_gsensor.m_samples.empty());
    EXPECT_TRUE(window.m_gsensor.m_eventMarksMs.empty());
    EXPECT_TRUE(window.m_positionSlider.EventMarks().empty());
    EXPECT_EQ(window.m_speed.m_bValid, 0);
    EXPECT_EQ(window.m_btnPlay.m_bAltState, 0);
    QTest::qWait(500);
    const QJsonObject map = MapState(*window.m_pMapDlg);
    EXPECT_FALSE(map["marker"].isArray());
    EXPECT_TRUE(map["path"].toArray().isEmpty());
    EXPECT_TRUE(map["driven"].toArray().isEmpty());
    EXPECT_TRUE(map["eventMarks"].toArray().isEmpty());
    window.raise();
    QTest::qWait(300);
    Grab(window).save(QStringLiteral(KOLVEX_SCREENSHOT_DIR) + "/playing_recording_deleted.png");
    EXPECT_EQ(Checksum(Grab(window.m_rearFrame)), idle);
}

TEST_F(SampleCardTest, APulledCardIsSaidOnceAndTheWindowStaysUsable) {
    OpenFromCommandLine(card.root);
    ASSERT_TRUE(WaitUntilPlaying(QStringLiteral("MOVA0010.MP4")));
    BoxAnswer answer(QMessageBox::Ok);

    // The card goes: what is being read ends at once and nothing else is
    // there any more.
    QDirIterator it(card.root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile(it.next()).resize(0);
    ASSERT_TRUE(QDir(card.root).removeRecursively());

    EXPECT_TRUE(WaitFor([&] { return !answer.m_texts.isEmpty(); }, 15000));
    QTest::qWait(3000);
    EXPECT_EQ(answer.m_texts.size(), 1) << answer.m_texts.join(" | ").toStdString();
    if (!answer.m_texts.isEmpty()) {
        // It names the recording it could not read, as the file system does.
        const QString text = answer.m_texts[0];
        EXPECT_TRUE(text.startsWith(LoadLangString(StringId::PlayerError) + QStringLiteral("\n\n") +
                                    QDir::cleanPath(card.root) + QStringLiteral("/DCIM/")))
            << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral(".MP4")) && !text.contains(QStringLiteral("//")))
            << text.toStdString();
    }

    // The lists still answer: a double-click opens that row's recording,
    // and its failure is said once, no more.
    const int boxes = static_cast<int>(answer.m_texts.size());
    const QString third = window.m_recordings.GetPath(2);
    window.OnOpenFile(2);
    // It opens once the players have let go of the last recording.
    ASSERT_TRUE(WaitFor([&] { return !window.Playback().WaitsForStop(); }));
    EXPECT_EQ(window.m_recordings.CurrentFile(), 2);
    EXPECT_EQ(MediaAddress(window.m_frontPlayer), QDir::cleanPath(third));
    EXPECT_TRUE(WaitFor([&] { return answer.m_texts.size() > boxes; }, 10000));
    QTest::qWait(3000);
    EXPECT_EQ(answer.m_texts.size(), boxes + 1) << answer.m_texts.join(" | ").toStdString();
    window.OnCommand(IDC_STOP);
    EXPECT_EQ(window.m_frontFrame.m_bIdle, 1);
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
