// Plays two 1080p30 H.264 clips side by side in one window, as the main
// window plays the front and rear recordings, and reports what it cost: the
// process's CPU share and the pictures libVLC lost (goal: none).
//
// Needs an X display (e.g. source scripts/xvfb.sh; start_xvfb).
// Usage: playback_bench [seconds=20] [clip folder to reuse]

#include "encoded_clip.h"
#include "vlc_player.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kFps = 30;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

QString loadAverage() {
    QFile file("/proc/loadavg");
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).section(' ', 0, 2)
                                          : QStringLiteral("?");
}

libvlc_media_stats_t statsOf(CVlcPlayer& player) {
    libvlc_media_stats_t stats{};
    using GetStats = decltype(&libvlc_media_get_stats);
    auto getStats = reinterpret_cast<GetStats>(dlsym(player.m_hLibrary, "libvlc_media_get_stats"));
    if (getStats && player.m_pMedia) {
        getStats(player.m_pMedia, &stats);
    }
    return stats;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "playback_bench needs an X display (source scripts/xvfb.sh; "
                             "start_xvfb)\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    // The two surfaces are a quarter of 1080p each, side by side; on a
    // smaller screen part of the pictures would not be shown at all.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect windowArea(screen.topLeft(), QSize(kWidth, kHeight / 2));
    if (!screen.contains(windowArea)) {
        std::fprintf(stderr,
                     "playback_bench needs a screen of at least %dx%d, this one is %dx%d "
                     "(scripts/xvfb.sh starts a 1920x1080 one)\n",
                     windowArea.width(), windowArea.height(), screen.width(), screen.height());
        return 2;
    }
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    QTemporaryDir scratch;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : scratch.path();
    QDir().mkpath(folder);
    std::array<QString, 2> clips;
    const std::array<QString, 2> sources = {"testsrc2", "testsrc"};
    for (int i = 0; i < 2; ++i) {
        ClipSpec spec{QStringLiteral("bench%1_1080p30.mp4").arg(i),
                      kWidth,
                      kHeight,
                      kFps,
                      seconds + 5.0,
                      sources[i]};
        const QString path = QDir(folder).filePath(spec.fileName);
        if (QFileInfo::exists(path)) {
            clips[i] = path;
            continue;
        }
        std::printf("encoding %s ...\n", qPrintable(spec.fileName));
        std::fflush(stdout);
        QString error;
        clips[i] = EncodeClip(folder, spec, &error);
        if (clips[i].isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }

    // One window, two video surfaces side by side, each a quarter of 1080p.
    QWidget window;
    window.setWindowTitle("playback bench");
    window.setGeometry(windowArea);
    std::array<QWidget*, 2> surfaces{};
    std::array<std::unique_ptr<CVlcPlayer>, 2> players;
    for (int i = 0; i < 2; ++i) {
        surfaces[i] = new QWidget(&window);
        surfaces[i]->setAttribute(Qt::WA_NativeWindow);
        surfaces[i]->setGeometry(i * kWidth / 2, 0, kWidth / 2, kHeight / 2);
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    for (int i = 0; i < 2; ++i) {
        players[i] = std::make_unique<CVlcPlayer>();
        if (!players[i]->m_bUsable) {
            std::fprintf(stderr, "libVLC could not be loaded\n");
            return 1;
        }
        players[i]->SetWindow(static_cast<CVlcPlayer::WindowHandle>(surfaces[i]->winId()));
        players[i]->SetVolume(0); // the rear player is silent; no sound device needed
        players[i]->SetRate(1.0f);
        players[i]->OpenMedia(clips[i].toUtf8().constData());
        players[i]->Play();
    }
    // Measure from the moment both show pictures, not from opening.
    QElapsedTimer wait;
    wait.start();
    while ((players[0]->GetTime() <= 0 || players[1]->GetTime() <= 0) && wait.elapsed() < 30'000) {
        QTest::qWait(20);
    }
    std::array<libvlc_media_stats_t, 2> before = {statsOf(*players[0]), statsOf(*players[1])};
    const QString loadBefore = loadAverage();
    const double cpuStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(seconds * 1000);
    const double wallSeconds = wall.elapsed() / 1000.0;
    const double cpuUsed = cpuSeconds() - cpuStart;
    std::array<libvlc_media_stats_t, 2> after = {statsOf(*players[0]), statsOf(*players[1])};

    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    std::printf("two %dx%d@%d H.264 clips at 1.0x for %.1f s in one %dx%d window\n", kWidth,
                kHeight, kFps, wallSeconds, window.width(), window.height());
    std::printf("process CPU: %.1f%% of one core (%.1f%% of %ld cores)\n",
                100.0 * cpuUsed / wallSeconds, 100.0 * cpuUsed / wallSeconds / cores, cores);
    std::printf("load average before: %s, after: %s\n", qPrintable(loadBefore),
                qPrintable(loadAverage()));
    for (int i = 0; i < 2; ++i) {
        std::printf("clip %d: decoded %d, displayed %d, lost %d pictures, media time %.1f s\n", i,
                    after[i].i_decoded_video - before[i].i_decoded_video,
                    after[i].i_displayed_pictures - before[i].i_displayed_pictures,
                    after[i].i_lost_pictures - before[i].i_lost_pictures,
                    players[i]->GetTime() / 1000.0);
    }
    for (auto& player : players) {
        player->Stop();
    }
    return 0;
}
