// The player with the real libVLC on real H.264 clips, drawing into a native
// window on the X display: events, length and time, seeking, rate, the
// transport flags, the end of a clip, snapshots, the text overlay as it
// appears on screen, and Recreate.
//
// Waits are generous and only ever wait for something to happen: the machine
// may be busy, and nothing here asserts how long anything took.

#include "encoded_clip.h"
#include "player_event_poster.h"
#include "snapshot_file.h"
#include "vlc_player.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int kWaitMs = 20'000;

// Waits for a condition while the Qt event loop runs; false on time-out.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// An event callback that only records, as libVLC requires of its callbacks.
class EventLog {
public:
    static void callback(const libvlc_event_t* event, void* userData) {
        auto* log = static_cast<EventLog*>(userData);
        std::lock_guard lock(log->m_mutex);
        ++log->m_counts[event->type];
        if (event->type == libvlc_MediaPlayerTimeChanged) {
            log->m_times.push_back(event->u.media_player_time_changed.new_time);
        }
    }
    int count(int type) {
        std::lock_guard lock(m_mutex);
        return m_counts[type];
    }
    std::vector<int64_t> times() {
        std::lock_guard lock(m_mutex);
        return m_times;
    }
    // Waits for one more event of this type than counted when called.
    bool waitForNext(int type, const std::function<void()>& action) {
        const int before = count(type);
        action();
        return waitUntil([&] { return count(type) > before; });
    }

private:
    std::mutex m_mutex;
    std::map<int, int> m_counts;
    std::vector<int64_t> m_times;
};

// Where a window goes on whatever screen the test finds. The marquee case
// grabs the screen, so its window keeps to the corner opposite the others
// (and opposite the map view test's window, which may be open at the same
// time under ctest -j).
enum class Spot { TopLeft, NextToTopLeft, BottomRight };

// A top-level window inside the screen's available area, with a native
// child the video goes to.
struct VideoWindow {
    VideoWindow(int width, int height, Spot spot = Spot::TopLeft) {
        const QSize size(width + 2 * kMargin, height + 2 * kMargin);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        top.setWindowTitle("playback test");
        top.setStyleSheet("background: rgb(40, 40, 40)");
        top.setGeometry(QRect(placeIn(area, size, spot), size));
        surface = new QWidget(&top);
        surface->setAttribute(Qt::WA_NativeWindow);
        surface->setGeometry(kMargin, kMargin, width, height);
        top.show();
        windowShown = QTest::qWaitForWindowExposed(&top);
        if (!area.contains(top.frameGeometry())) {
            placementProblem = QStringLiteral("a %1x%2 window does not fit the screen's %3x%4 area")
                                   .arg(top.frameGeometry().width())
                                   .arg(top.frameGeometry().height())
                                   .arg(area.width())
                                   .arg(area.height())
                                   .toStdString();
        }
    }
    static QPoint placeIn(const QRect& area, const QSize& size, Spot spot) {
        switch (spot) {
        case Spot::TopLeft:
            return area.topLeft();
        case Spot::NextToTopLeft:
            return area.topLeft() + QPoint(size.width(), 0);
        case Spot::BottomRight:
            return area.bottomRight() - QPoint(size.width(), size.height()) + QPoint(1, 1);
        }
        return area.topLeft();
    }
    CVlcPlayer::WindowHandle id() const {
        return static_cast<CVlcPlayer::WindowHandle>(surface->winId());
    }
    // The surface's rectangle in root-window coordinates.
    // The X server's own picture of the screen where the window is, as a
    // person sees it. Only the window's area counts: other programs may show
    // windows elsewhere on the same display, so the window is raised first.
    QImage grabScreen() {
        top.raise();
        QCoreApplication::processEvents();
        const QRect area(top.mapToGlobal(QPoint(0, 0)), top.size());
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .toImage();
    }
    // The surface within the grabbed area.
    QRect surfaceRect() const { return surface->geometry(); }

    static constexpr int kMargin = 40;
    QWidget top;
    QWidget* surface;
    bool windowShown = false;
    std::string placementProblem;
};

// The clips, encoded on first use and once per process: a case run on its own
// (--gtest_filter) pays only for the clips it plays.
class Clips {
public:
    static QString path(const QString& fileName) {
        static Clips clips;
        return clips.encoded(fileName);
    }
    static QString folder() { return path({}); }

private:
    QString encoded(const QString& fileName) {
        if (fileName.isEmpty()) {
            return m_folder.path();
        }
        if (!m_paths.count(fileName)) {
            const std::map<QString, ClipSpec> specs = {
                {"clip.mp4", {"clip.mp4", 320, 240, 25, 3.0}},
                {"clip.mov", {"clip.mov", 352, 288, 25, 3.0}},
                {"clip.avi", {"clip.avi", 256, 144, 30, 3.0}},
                {"short.mp4", {"short.mp4", 160, 120, 25, 1.0}},
                {"long.mp4", {"long.mp4", 160, 120, 25, 12.0}},
                {"blue.mp4", {"blue.mp4", 320, 240, 25, 8.0, "color=c=0x0000C0"}},
            };
            QString error;
            m_paths[fileName] = EncodeClip(m_folder.path(), specs.at(fileName), &error);
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        }
        return m_paths[fileName];
    }

    QTemporaryDir m_folder;
    std::map<QString, QString> m_paths;
};

class VlcPlayerPlayback : public ::testing::Test {
protected:
    // Opens and plays path in window with log attached; waits for playing.
    static void startPlaying(CVlcPlayer& player, VideoWindow& window, EventLog& log,
                             const QString& path) {
        ASSERT_FALSE(path.isEmpty());
        ASSERT_TRUE(window.windowShown);
        ASSERT_EQ(window.placementProblem, "");
        ASSERT_EQ(player.m_bUsable, 1) << "libVLC could not be loaded or started";
        player.AttachEvents(&EventLog::callback, &log);
        player.SetWindow(window.id());
        player.OpenMedia(path.toUtf8().constData());
        ASSERT_TRUE(log.waitForNext(libvlc_MediaPlayerPlaying, [&] { player.Play(); }));
    }

    // A libVLC function the player itself does not need, for checking
    // libVLC's side of the player.
    template <typename Function>
    static Function* vlcFunction(CVlcPlayer& player, const char* name) {
        return reinterpret_cast<Function*>(dlsym(player.m_hLibrary, name));
    }
};

struct ContainerCase {
    const char* fileName;
    int64_t lengthMs;
};

TEST_F(VlcPlayerPlayback, PlaysEachContainerAndFollowsTheTransport) {
    const ContainerCase cases[] = {{"clip.mp4", 3000}, {"clip.mov", 3000}, {"clip.avi", 3000}};
    for (const ContainerCase& c : cases) {
        SCOPED_TRACE(c.fileName);
        VideoWindow window(320, 240);
        CVlcPlayer player;
        EventLog log;
        startPlaying(player, window, log, Clips::path(c.fileName));
        EXPECT_EQ(player.m_bPlaying, 1);
        EXPECT_EQ(player.m_bPaused, 0);

        // Time advances in events and in GetTime.
        ASSERT_TRUE(waitUntil([&] {
            const auto times = log.times();
            return times.size() >= 3 && times.back() > times.front();
        }));
        ASSERT_TRUE(waitUntil([&] { return player.GetLength() > 0; }));
        EXPECT_NEAR(player.GetLength(), c.lengthMs, 100);
        EXPECT_GT(player.GetTime(), 0);

        ASSERT_TRUE(log.waitForNext(libvlc_MediaPlayerPaused, [&] { player.Pause(); }));
        EXPECT_EQ(player.m_bPlaying, 0);
        EXPECT_EQ(player.m_bPaused, 1);
        ASSERT_TRUE(log.waitForNext(libvlc_MediaPlayerPlaying, [&] { player.Play(); }));
        EXPECT_EQ(player.m_bPlaying, 1);
        EXPECT_EQ(player.m_bPaused, 0);
        ASSERT_TRUE(log.waitForNext(libvlc_MediaPlayerStopped, [&] { player.Stop(); }));
        EXPECT_EQ(player.m_bPlaying, 0);
        EXPECT_EQ(player.m_bPaused, 0);
        EXPECT_EQ(log.count(libvlc_MediaPlayerEncounteredError), 0);
    }
}

TEST_F(VlcPlayerPlayback, SetTimeMovesThePosition) {
    VideoWindow window(160, 120);
    CVlcPlayer player;
    EventLog log;
    startPlaying(player, window, log, Clips::path("long.mp4"));
    ASSERT_TRUE(waitUntil([&] { return player.GetTime() > 0; }));
    player.SetTime(8000);
    // The next reported times start from the target, not from the beginning.
    EXPECT_TRUE(waitUntil([&] { return player.GetTime() >= 7500; })) << "time " << player.GetTime();
    EXPECT_TRUE(waitUntil([&] {
        const auto times = log.times();
        return !times.empty() && times.back() >= 7500;
    }));
    player.Stop();
}

TEST_F(VlcPlayerPlayback, SetRateChangesTheSpeed) {
    VideoWindow window(160, 120);
    CVlcPlayer player;
    EventLog log;
    startPlaying(player, window, log, Clips::path("long.mp4"));
    auto getRate =
        vlcFunction<float(libvlc_media_player_t*)>(player, "libvlc_media_player_get_rate");
    ASSERT_NE(getRate, nullptr);

    // Media time gained over the same stretch of wall time, at 1.0 and at
    // 4.0: a relative measure, so a busy machine slows both alike.
    const auto gainedOver = [&](int wallMs) {
        const int64_t start = player.GetTime();
        QTest::qWait(wallMs);
        return player.GetTime() - start;
    };
    ASSERT_TRUE(waitUntil([&] { return player.GetTime() > 0; }));
    const int64_t atNormal = gainedOver(1500);
    player.SetRate(4.0f);
    EXPECT_FLOAT_EQ(getRate(player.m_pPlayer), 4.0f);
    QTest::qWait(300); // let the new rate reach the clock
    const int64_t atFast = gainedOver(1500);
    EXPECT_GT(atFast, 2 * atNormal) << "1.0: " << atNormal << " ms, 4.0: " << atFast << " ms";
    player.SetRate(1.0f);
    EXPECT_FLOAT_EQ(getRate(player.m_pPlayer), 1.0f);
    player.Stop();
}

TEST_F(VlcPlayerPlayback, EndOfClipIsPostedToTheUserInterfaceThread) {
    class Receiver : public QObject {
    public:
        std::vector<std::pair<int, qint64>> messages;
        bool event(QEvent* e) override {
            if (auto* m = dynamic_cast<CPlayerMessageEvent*>(e)) {
                EXPECT_EQ(QThread::currentThread(), qApp->thread());
                messages.emplace_back(m->message(), m->m_nWParam);
                return true;
            }
            return QObject::event(e);
        }
        int count(int message) const {
            return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                                  [&](auto& m) { return m.first == message; }));
        }
    } receiver;

    VideoWindow window(160, 120);
    CVlcPlayer player;
    CPlayerEventPoster poster(&receiver, CPlayerEventPoster::Role::Front);
    poster.AttachTo(player);
    player.SetWindow(window.id());
    player.OpenMedia(Clips::path("short.mp4").toUtf8().constData());
    player.Play();
    ASSERT_TRUE(waitUntil([&] { return receiver.count(WM_FRONT_END_REACHED) == 1; }));
    EXPECT_GE(receiver.count(WM_PLAYER_STATE), 1);
    EXPECT_GE(receiver.count(WM_PLAYER_TIME), 1);
    EXPECT_EQ(receiver.count(WM_PLAYER_ERROR), 0);
    // The flags record what was asked, not what libVLC did.
    EXPECT_EQ(player.m_bPlaying, 1);
}

// The main window's pair: each player reports only its own events and obeys
// only its own commands.
TEST_F(VlcPlayerPlayback, TwoPlayersInOneProcessStayIndependent) {
    VideoWindow frontWindow(160, 120, Spot::TopLeft);
    VideoWindow rearWindow(160, 120, Spot::NextToTopLeft);
    CVlcPlayer front, rear;
    EventLog frontLog, rearLog;
    startPlaying(front, frontWindow, frontLog, Clips::path("long.mp4"));
    rear.SetVolume(0);
    startPlaying(rear, rearWindow, rearLog, Clips::path("short.mp4"));

    ASSERT_TRUE(waitUntil([&] { return rearLog.count(libvlc_MediaPlayerEndReached) == 1; }));
    EXPECT_EQ(frontLog.count(libvlc_MediaPlayerEndReached), 0);

    // Pausing the front player leaves the rear one playing after a restart.
    ASSERT_TRUE(frontLog.waitForNext(libvlc_MediaPlayerPaused, [&] { front.Pause(); }));
    rear.Stop();
    ASSERT_TRUE(rearLog.waitForNext(libvlc_MediaPlayerPlaying, [&] { rear.Play(); }));
    const int64_t frontHeld = front.GetTime();
    EXPECT_TRUE(waitUntil([&] { return rear.GetTime() > 300; }));
    // A playing front player would have moved on as far as the rear one.
    EXPECT_LT(front.GetTime() - frontHeld, 100);
    EXPECT_EQ(rearLog.count(libvlc_MediaPlayerPaused), 0);
    front.Stop();
    rear.Stop();
}

TEST_F(VlcPlayerPlayback, FileThatCannotBeOpenedGivesTheErrorEvent) {
    VideoWindow window(160, 120);
    CVlcPlayer player;
    EventLog log;
    const QString missing = QDir(Clips::folder()).filePath("missing.mp4");
    player.AttachEvents(&EventLog::callback, &log);
    player.SetWindow(window.id());
    player.OpenMedia(missing.toUtf8().constData());
    ASSERT_NE(player.m_pMedia, nullptr); // libVLC opens lazily
    EXPECT_TRUE(log.waitForNext(libvlc_MediaPlayerEncounteredError, [&] { player.Play(); }));
}

TEST_F(VlcPlayerPlayback, SnapshotsAreWrittenAtTheClipsOwnSizeInTheAskedFormat) {
    VideoWindow window(160, 120); // smaller than the clip: the size is the clip's
    CVlcPlayer player;
    EventLog log;
    startPlaying(player, window, log, Clips::path("clip.mov"));
    ASSERT_TRUE(waitUntil([&] { return player.GetTime() > 200; }));
    player.Pause();

    const QByteArray png("\x89PNG", 4), jpeg("\xFF\xD8\xFF", 3);
    const auto startsWith = [](const QString& path, const QByteArray& magic) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) && file.read(magic.size()) == magic;
    };
    const QDir folder(Clips::folder());

    // libVLC's own call, straight to the file.
    const QString direct = folder.filePath("direct.png");
    player.TakeSnapshot(direct.toUtf8().constData());
    ASSERT_TRUE(waitUntil([&] { return !QImage(direct).isNull(); }));
    EXPECT_TRUE(startsWith(direct, png));
    EXPECT_EQ(QImage(direct).size(), QSize(352, 288));

    struct Case {
        const char* fileName;
        QByteArray magic;
    };
    for (const Case& c : {Case{"shot.png", png}, Case{"shot.jpg", jpeg}, Case{"SHOT.JPEG", jpeg},
                          Case{"100% é.jpg", jpeg}}) {
        SCOPED_TRACE(c.fileName);
        const QString path = folder.filePath(c.fileName);
        ASSERT_TRUE(SaveSnapshot(player, path));
        EXPECT_TRUE(startsWith(path, c.magic));
        EXPECT_EQ(QImage(path).size(), QSize(352, 288));
    }

    // A format nobody can write leaves nothing behind.
    EXPECT_FALSE(SaveSnapshot(player, folder.filePath("shot.nosuchformat")));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("shot.nosuchformat")));
    player.Stop();
}

TEST_F(VlcPlayerPlayback, SnapshotWithoutAPictureKeepsTheOldFile) {
    const QString path = QDir(Clips::folder()).filePath("kept.png");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old picture");
    old.close();

    CVlcPlayer idle; // nothing opened: no picture to save
    EXPECT_FALSE(SaveSnapshot(idle, path));
    CVlcPlayer unusable("libkolvex-no-such-library.so.5");
    EXPECT_FALSE(SaveSnapshot(unusable, path));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old picture");
}

// Counts pixels of a screenshot inside and outside a rectangle.
struct PixelCount {
    int inside = 0;
    int outside = 0;
};

PixelCount countPixels(const QImage& picture, const QRect& rect,
                       const std::function<bool(QRgb)>& matches) {
    PixelCount count;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (matches(picture.pixel(x, y))) {
                ++(rect.contains(x, y) ? count.inside : count.outside);
            }
        }
    }
    return count;
}

bool isGreen(QRgb p) {
    return qGreen(p) > 180 && qRed(p) < 90 && qBlue(p) < 90;
}
bool isBlue(QRgb p) {
    return qBlue(p) > 150 && qRed(p) < 60 && qGreen(p) < 60;
}

// Keeps a grabbed picture of the window for a person to look at: in the
// folder KOLVEX_SCREENSHOT_DIR names, or, when the case failed, in the
// current folder. Returns where it went, for the failure message.
std::string keepScreenshot(const QImage& picture, const QString& name, bool failed) {
    const QString folder = qEnvironmentVariable("KOLVEX_SCREENSHOT_DIR");
    if (folder.isEmpty() && !failed) {
        return {};
    }
    const QString path =
        QDir(folder.isEmpty() ? QStringLiteral(".") : folder).absoluteFilePath(name);
    return picture.save(path) ? " (screenshot: " + path.toStdString() + ")" : std::string();
}

TEST_F(VlcPlayerPlayback, MarqueeAppearsOnTheVideoInsideTheWindow) {
    VideoWindow window(320, 240, Spot::BottomRight);
    CVlcPlayer player;
    EventLog log;
    startPlaying(player, window, log, Clips::path("blue.mp4"));
    ASSERT_TRUE(waitUntil([&] { return player.GetTime() > 200; }));
    const QRect rect = window.surfaceRect();
    const auto grab = [&] { return window.grabScreen(); };

    const QImage video = grab();
    const PixelCount blue = countPixels(video, rect, isBlue);
    const bool videoInWindow = blue.inside > rect.width() * rect.height() * 9 / 10;
    const std::string videoShot =
        keepScreenshot(video, "marquee-video.png", !videoInWindow || blue.outside != 0);
    EXPECT_TRUE(videoInWindow) << "the video is not in the window: " << blue.inside
                               << " blue pixels" << videoShot;
    EXPECT_EQ(blue.outside, 0) << "the video is drawn outside the window" << videoShot;

    ASSERT_TRUE(player.ShowMarquee("2.0 X", 40, 1));
    QImage screen;
    PixelCount green;
    const bool textShown = waitUntil([&] {
        screen = grab();
        green = countPixels(screen, rect, isGreen);
        return green.inside > 100;
    });
    // The text sits in the picture's top-left corner.
    const QRect topLeftQuarter(rect.topLeft(), rect.size() / 2);
    const int greenInCorner = countPixels(screen, topLeftQuarter, isGreen).inside;
    const std::string textShot =
        keepScreenshot(screen, "marquee-text.png",
                       !textShown || green.outside != 0 || greenInCorner != green.inside);
    EXPECT_TRUE(textShown) << "no green text in the window; green pixels: " << green.inside
                           << textShot;
    EXPECT_EQ(green.outside, 0) << textShot;
    EXPECT_EQ(greenInCorner, green.inside) << textShot;

    ASSERT_TRUE(player.ShowMarquee("2.0 X", 40, 0));
    EXPECT_TRUE(waitUntil([&] { return countPixels(grab(), rect, isGreen).inside == 0; }))
        << "the text stays after it was turned off";
    player.Stop();
}

TEST_F(VlcPlayerPlayback, RecreateNeedsAnOpenedMediaAndKeepsVolumeAndCallback) {
    VideoWindow window(160, 120);
    CVlcPlayer player;
    EventLog log;
    libvlc_media_player_t* fresh = player.m_pPlayer;
    EXPECT_FALSE(player.Recreate());
    EXPECT_EQ(player.m_pPlayer, fresh);

    player.SetVolume(80);
    startPlaying(player, window, log, Clips::path("long.mp4"));
    ASSERT_TRUE(player.Recreate());
    EXPECT_EQ(player.m_pMedia, nullptr);
    EXPECT_EQ(player.m_nVolume, 80);
    EXPECT_EQ(player.m_bUsable, 1);

    // The caller sets window and media again; events reach the same callback.
    const int playingBefore = log.count(libvlc_MediaPlayerPlaying);
    player.SetWindow(window.id());
    player.OpenMedia(Clips::path("short.mp4").toUtf8().constData());
    player.Play();
    EXPECT_TRUE(waitUntil([&] { return log.count(libvlc_MediaPlayerPlaying) > playingBefore; }));
    auto getVolume = vlcFunction<int(libvlc_media_player_t*)>(player, "libvlc_audio_get_volume");
    ASSERT_NE(getVolume, nullptr);
    const int volume = getVolume(player.m_pPlayer);
    // -1 means the machine has no audio output to ask; otherwise it is ours.
    if (volume != -1) {
        EXPECT_EQ(volume, 80);
    }
    player.Stop();
}

} // namespace

int main(int argc, char** argv) {
    // The window ids handed to libVLC are X11 ids.
    qputenv("QT_QPA_PLATFORM", "xcb");
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases needs no display.
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
