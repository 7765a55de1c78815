// The whole window under X with the real libVLC: a card of two encoded
// clips (front with the camera's records, rear in the sibling folder) is
// opened as a disk; both surfaces show their pictures, the time advances
// and the instruments follow the GPS track.
#include "app/kolvex_dlg.h"
#include "encoded_clip.h"
#include "fixtures/camera_file_writer.h"
#include "lists/media_open_dialog.h"
#include "record_injector.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

template <typename Condition> bool WaitFor(Condition done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(20);
    return done();
}

// The X server's picture of a widget's area, as a person sees it.
QImage Grab(QWidget& widget) {
    const QRect area(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

// The mean colour of the middle half of a picture.
QColor MeanColour(const QImage& image) {
    long long r = 0, g = 0, b = 0, n = 0;
    for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y)
        for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x) {
            const QColor c = image.pixelColor(x, y);
            r += c.red();
            g += c.green();
            b += c.blue();
            ++n;
        }
    return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
}

class Card {
public:
    Card() {
        QDir(m_dir.path()).mkpath(QStringLiteral("DCIM/CAMF"));
        QDir(m_dir.path()).mkpath(QStringLiteral("DCIM/CAMR"));
        QString error;
        ClipSpec front{QStringLiteral("FILE0010.MP4"), 320, 240, 25, 6.0,
                       QStringLiteral("color=c=red")};
        frontPath = EncodeClip(m_dir.path() + "/DCIM/CAMF", front, &error);
        if (frontPath.isEmpty()) {
            problem = error;
            return;
        }
        ClipSpec rear{QStringLiteral("FILE001R.MP4"), 320, 240, 25, 6.0,
                      QStringLiteral("color=c=blue")};
        if (EncodeClip(m_dir.path() + "/DCIM/CAMR", rear, &error).isEmpty()) {
            problem = error;
            return;
        }
        samplecard::CameraRecords records;
        records.textDate = "2026-05-14 08:12:00";
        records.gpsInfo = fixtures::InfoRecord(1);
        records.gpsBlock = fixtures::GpsBlock(fixtures::Drive(6, 1, 2026, 5, 14, 8, 12, 0, 72));
        samplecard::AddRecordsToIsoFile(frontPath.toStdString(), records, false);
    }
    QString Root() const { return m_dir.path(); }
    QString frontPath;
    QString problem;

private:
    QTemporaryDir m_dir;
};

// The window with the snapshot's path given by the test.
class SnapshotWindow : public CKolvexDlg {
public:
    SnapshotWindow() : CKolvexDlg(Options{false, {}}) {}
    QString ChooseSnapshotPath() override { return m_snapshotPath; }
    QString m_snapshotPath;
};

TEST(PlaybackWindowTest, DiskOpenPlaysBothCamerasAndMovesTheInstruments) {
    Card card;
    ASSERT_TRUE(card.problem.isEmpty()) << card.problem.toStdString();
    SnapshotWindow window;
    window.OnInitDialog();
    ASSERT_TRUE(window.m_frontPlayer.m_bUsable) << "libVLC is needed here";
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    window.OpenSource(CMediaOpenDialog::kSourceDisk, card.Root());
    ASSERT_FALSE(window.m_recordings.Entries().empty());
    EXPECT_TRUE(window.m_recordings.GetCurrentPath().endsWith(QStringLiteral("/FILE0010.MP4")))
        << window.m_recordings.GetCurrentPath().toStdString();

    // Playing: the pause image, the time advancing, a fix on the track.
    EXPECT_TRUE(WaitFor([&] { return window.m_btnPlay.m_bAltState == 1; }, 10000));
    ASSERT_TRUE(WaitFor([&] { return window.m_positionSlider.value() > 100; }, 15000))
        << "the position never advanced";
    EXPECT_FALSE(window.m_bOpening);
    EXPECT_TRUE(window.m_gpsIcon.m_bActive);
    EXPECT_EQ(window.m_speed.m_nSpeedKmh, 72);
    EXPECT_EQ(window.m_frontFrame.m_bIdle, 0);
    EXPECT_EQ(window.m_rearFrame.m_bIdle, 0);
    // The group list's columns share its laid-out width.
    EXPECT_EQ(window.m_groupList.model()->rowCount(), 1);
    EXPECT_GE(window.m_groupList.columnWidth(0) * 5, window.m_groupList.width() - 5);

    window.raise();
    QTest::qWait(300);
    const QImage front = Grab(window.m_frontVideo);
    const QImage rear = Grab(window.m_rearVideo);
    const QImage whole = Grab(window);
    const QString shots = QStringLiteral(KOLVEX_SCREENSHOT_DIR);
    QDir().mkpath(shots);
    whole.save(shots + "/playing_window.png");
    const QColor frontColour = MeanColour(front);
    const QColor rearColour = MeanColour(rear);
    EXPECT_GT(frontColour.red(), 150) << "front picture " << frontColour.name().toStdString();
    EXPECT_LT(frontColour.blue(), 100);
    EXPECT_GT(rearColour.blue(), 150) << "rear picture " << rearColour.name().toStdString();
    EXPECT_LT(rearColour.red(), 100);

    // A seek with the slider lands both players near the target at the
    // next seek tick.
    window.m_positionSlider.setValue(500);
    window.OnSeekChanged();
    ASSERT_TRUE(window.Playback().PendingSeek());
    const int64_t target = *window.Playback().PendingSeek();
    EXPECT_GT(target, 2500);
    ASSERT_TRUE(WaitFor([&] { return !window.Playback().PendingSeek(); }, 2000));
    QTest::qWait(300);
    for (CVlcPlayer* player : {&window.m_frontPlayer, &window.m_rearPlayer}) {
        const int64_t time = player->GetTime();
        EXPECT_GE(time, target - 500) << (player == &window.m_rearPlayer ? "rear" : "front");
        EXPECT_LE(time, target + 1500) << (player == &window.m_rearPlayer ? "rear" : "front");
    }

    // The snapshot: the front picture at its own size, playing on after.
    QTemporaryDir shotFolder;
    window.m_snapshotPath = shotFolder.path() + "/front.png";
    window.OnCommand(IDC_SNAPSHOT);
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(window.m_snapshotPath); }, 5000));
    const QImage snapshot(window.m_snapshotPath);
    EXPECT_EQ(snapshot.size(), QSize(320, 240));
    EXPECT_TRUE(window.m_frontPlayer.m_bPlaying);

    // The time read-out by the slider: position and length, the camera's
    // time of day.
    EXPECT_TRUE(QRegularExpression(R"(^00:0\d / 00:06$)")
                    .match(window.m_positionSlider.PositionText())
                    .hasMatch())
        << window.m_positionSlider.PositionText().toStdString();
    EXPECT_TRUE(window.m_positionSlider.TimeOfDayText().startsWith("08:12:0"));

    // Full screen: the mouse at the bottom brings the controls over the
    // picture, drawn on top of the video.
    window.ToggleFrontFullScreen();
    ASSERT_TRUE(WaitFor([&] { return window.m_frontVideo.width() > 400; }, 3000));
    QWindow* surface = window.m_frontVideo.SurfaceWindow();
    const QPointF bottom(100, window.m_frontVideo.height() - 20);
    QMouseEvent move(QEvent::MouseMove, bottom, surface->mapToGlobal(bottom), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface, &move);
    ASSERT_TRUE(window.m_fullScreenControls.isVisible());
    QTest::qWait(600);
    const QImage full = Grab(window);
    full.save(shots + "/full_screen_controls.png");
    const QImage panel = Grab(window.m_fullScreenControls);
    // The panel's own dark ground, not the red picture below it.
    EXPECT_LT(MeanColour(panel).red(), 60) << MeanColour(panel).name().toStdString();
    window.ToggleFrontFullScreen();

    // Stop: both windows idle, the screen saver allowed again.
    window.OnCommand(IDC_STOP);
    EXPECT_EQ(window.m_frontFrame.m_bIdle, 1);
    EXPECT_EQ(window.m_btnPlay.m_bAltState, 0);
    window.close();
}

// Answers the snapshot's save dialog as a user would: notes where it opened
// and what it proposed, picks a filter, types a name (or keeps the
// proposed one) and saves.
class SaveDialogAnswer {
public:
    SaveDialogAnswer(int filter, QString typed) {
        QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this, filter, typed] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || m_answered)
                return;
            m_answered = true;
            m_folder = dialog->directory().absolutePath();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            if (!name || !types) {
                dialog->reject();
                return;
            }
            m_proposed = name->text();
            // As a user's choice in the list, which the dialog hears of.
            types->setCurrentIndex(filter);
            emit types->activated(filter);
            emit types->textActivated(types->itemText(filter));
            if (!typed.isEmpty())
                name->setText(typed);
            m_saved = name->text();
            QMetaObject::invokeMethod(dialog, "accept");
        });
        m_poll.start(20);
    }
    bool m_answered = false;
    QString m_folder, m_proposed, m_saved;

private:
    QTimer m_poll;
};

bool StartsWith(const QString& path, const QByteArray& magic) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(magic.size()) == magic;
}

TEST(PlaybackWindowTest, SnapshotsAreWrittenInTheFormatTheNameOrTheFilterSays) {
    Card card;
    ASSERT_TRUE(card.problem.isEmpty()) << card.problem.toStdString();
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    CKolvexDlg window(CKolvexDlg::Options{false, {}});
    window.OnInitDialog();
    ASSERT_TRUE(window.m_frontPlayer.m_bUsable) << "libVLC is needed here";
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.OpenSource(CMediaOpenDialog::kSourceFile, card.frontPath);
    ASSERT_TRUE(WaitFor([&] { return window.m_positionSlider.value() > 100; }, 15000));

    const QByteArray png("\x89PNG", 4), jpeg("\xFF\xD8\xFF", 3);
    const QString pictures = home.path() + "/Pictures";
    QTemporaryDir elsewhere;
    const struct {
        const char* name;
        int filter; // 0 JPEG, 1 PNG
        QString typed;
        QString expectedFolder; // where the dialog opens
        QString expectedFile;   // "" for the proposed name with the filter's extension
        QByteArray magic;
    } cases[] = {
        {"the proposed name, PNG chosen", 1, "", pictures, "", png},
        {".jpg", 0, "a.jpg", pictures, pictures + "/a.jpg", jpeg},
        {".png under the JPEG filter", 0, "b.png", pictures, pictures + "/b.png", png},
        {"no extension, JPEG", 0, "c", pictures, pictures + "/c.jpg", jpeg},
        {"no extension, PNG", 1, "d", pictures, pictures + "/d.png", png},
        {"another folder", 0, elsewhere.path() + "/e.JPG", pictures, elsewhere.path() + "/e.JPG",
         jpeg},
        {"the last folder used", 1, "f", elsewhere.path(), elsewhere.path() + "/f.png", png},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SaveDialogAnswer answer(c.filter, c.typed);
        window.OnCommand(IDC_SNAPSHOT);
        ASSERT_TRUE(answer.m_answered);
        EXPECT_EQ(answer.m_folder, c.expectedFolder);
        // The recording's name and the time in it.
        EXPECT_TRUE(
            QRegularExpression(R"(^FILE0010_\d\d-\d\d\.jpg$)").match(answer.m_proposed).hasMatch())
            << answer.m_proposed.toStdString();
        const QString file = c.expectedFile.isEmpty()
                                 ? pictures + "/" + answer.m_proposed.chopped(4) + ".png"
                                 : c.expectedFile;
        ASSERT_TRUE(WaitFor([&] { return QFileInfo(file).size() > 0; }, 5000))
            << file.toStdString() << " saved as " << answer.m_saved.toStdString();
        EXPECT_TRUE(StartsWith(file, c.magic)) << file.toStdString();
        EXPECT_EQ(QImage(file).size(), QSize(320, 240));
        EXPECT_TRUE(window.m_frontPlayer.m_bPlaying); // playing on after the dialog
    }
    window.close();
    qputenv("HOME", oldHome);
}

} // namespace
} // namespace kolvex::testing

int main(int argc, char** argv) {
    // The window ids handed to libVLC are X11 ids.
    qputenv("QT_QPA_PLATFORM", "xcb");
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    QTemporaryDir settingsFolder;
    QDir::setCurrent(settingsFolder.path());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
