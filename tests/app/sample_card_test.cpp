// The whole player on the sample card, as a user meets it: real libVLC,
// the real web map, the card opened the way the command line opens it.
// Each test works on its own copy of the card that the test run wrote once.
#include "app/command_line.h"
#include "app/kolvex_dlg.h"
#include "map/view/html_map_dlg.h"
#include "map/view/web_engine_setup.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"
#include "settings/string_tables.h"
#include "window_test_helpers.h"

#include <QApplication>
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

// The X server's picture of a widget's area.
QImage Grab(QWidget& widget) {
    const QRect area(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

// How many distinct colours (in steps of 16 per channel) a picture holds:
// a video picture has many, an idle surface or a black one a few.
int DistinctColours(const QImage& image) {
    std::set<int> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) {
            const QRgb c = image.pixel(x, y);
            colours.insert((qRed(c) / 16) << 8 | (qGreen(c) / 16) << 4 | (qBlue(c) / 16));
        }
    return static_cast<int>(colours.size());
}

// What libVLC itself says about a player, through the library the player
// loaded.
QString MediaAddress(CVlcPlayer& player) {
    using Mrl = char* (*)(libvlc_media_t*);
    auto mrl = reinterpret_cast<Mrl>(dlsym(player.m_hLibrary, "libvlc_media_get_mrl"));
    if (!mrl || !player.m_pMedia)
        return {};
    char* text = mrl(player.m_pMedia);
    const QString address = QString::fromUtf8(text);
    std::free(text);
    return QDir::cleanPath(QUrl(address).toLocalFile());
}

bool OverlayShown(CVlcPlayer& player) {
    using GetMarquee = int (*)(libvlc_media_player_t*, unsigned);
    auto get =
        reinterpret_cast<GetMarquee>(dlsym(player.m_hLibrary, "libvlc_video_get_marquee_int"));
    return get && player.m_pPlayer && get(player.m_pPlayer, 0 /* libvlc_marquee_Enable */) != 0;
}

// The page's map state, read through the host.
QJsonObject MapState(CHtmlMapDlg& map) {
    QJsonObject state;
    bool answered = false;
    map.Page()->runJavaScript(QStringLiteral("kolvexMapState()"), [&](const QVariant& value) {
        state = QJsonDocument::fromJson(value.toString().toUtf8()).object();
        answered = true;
    });
    WaitFor([&] { return answered; }, 5000);
    return state;
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
        ASSERT_TRUE(WaitFor([&] { return window.m_nPendingSeekMs == 0; }, 3000));
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
    EXPECT_STREQ(CKolvexDlg::RateLabelAt(window.m_nRateIndex), "1.2 X");
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
    ASSERT_TRUE(WaitFor([&] { return window.m_nPendingSeekMs == 0; }, 3000));
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

    // The lists still answer; playing from them says the same, no more.
    const int boxes = static_cast<int>(answer.m_texts.size());
    window.OnOpenFile(2);
    QTest::qWait(3000);
    EXPECT_LE(answer.m_texts.size(), boxes + 1);
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
