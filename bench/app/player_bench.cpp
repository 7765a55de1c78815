// What the whole player costs while it plays the sample card, against two
// bare players showing the same two recordings on surfaces of the same size.
//
//   kolvex-player-bench kolvex CARD SECONDS
//       the player's window opens CARD as its command line does; prints the
//       time from launch to the first front picture, the UI thread's time per
//       player tick (the tick's handler and the paints it leads to), the CPU
//       of the process and its helper processes (the map's renderer), and the
//       pictures libVLC lost; last a line "surfaces ..." for the bare run.
//   kolvex-player-bench bare CARD SECONDS FRONT REAR WINDOW
//       two players in a plain window, surfaces as "x,y,w,h" (from the
//       kolvex run), playing the card's first recording and its rear file.
//
// KOLVEX_BENCH_LAUNCHED_US (microseconds since 1970), set by the script just
// before it starts the program, is the launch moment; without it, main().
// Needs an X display (bench/app/run_player_bench.sh starts one).
#include "app/command_line.h"
#include "app/display_choice.h"
#include "app/kolvex_dlg.h"
#include "map/view/web_engine_setup.h"
#include "playback/qt/player_messages.h"
#include "playback/vlc_player.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// CPU seconds of this process and every process below it: the web map's
// renderer and helpers are processes of their own.
double TreeCpuSeconds() {
    std::map<int, int> parentOf;
    std::map<int, double> cpuOf;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        bool isNumber = false;
        const int pid = QFileInfo(processes.next()).fileName().toInt(&isNumber);
        if (!isNumber)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // Fields after the command's closing parenthesis: state ppid ...
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            continue;
        parentOf[pid] = fields[1].toInt();
        cpuOf[pid] = (fields[11].toDouble() + fields[12].toDouble()) / ticks;
    }
    const int self = static_cast<int>(getpid());
    double total = 0;
    for (const auto& [pid, cpu] : cpuOf) {
        for (int p = pid; p > 1; p = parentOf.count(p) ? parentOf[p] : 0) {
            if (p == self) {
                total += cpu;
                break;
            }
        }
    }
    return total;
}

libvlc_media_stats_t StatsOf(CVlcPlayer& player) {
    libvlc_media_stats_t stats{};
    using GetStats = decltype(&libvlc_media_get_stats);
    auto getStats = reinterpret_cast<GetStats>(dlsym(player.m_hLibrary, "libvlc_media_get_stats"));
    if (getStats && player.m_pMedia)
        getStats(player.m_pMedia, &stats);
    return stats;
}

// Times the UI thread's work: every player tick's handler, and all paints.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        const QEvent::Type type = event->type();
        const bool tick = type == static_cast<QEvent::Type>(WM_PLAYER_TIME);
        const bool paint = type == QEvent::Paint || type == QEvent::UpdateRequest;
        if (!m_measuring || (!tick && !paint))
            return QApplication::notify(receiver, event);
        // A window's update request paints its widgets inside it: only the
        // outermost event counts towards the totals.
        ++m_depth;
        const auto began = Clock::now();
        const bool handled = QApplication::notify(receiver, event);
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - began).count();
        --m_depth;
        if (tick)
            m_tickUs.push_back(us);
        else if (m_depth == 0)
            m_paintUs += us;
        if (type == QEvent::Paint)
            m_paintUsByClass[typeid(*receiver).name()] += us;
        else if (m_depth == 0)
            m_paintUsByClass["(window update request)"] += us;
        return handled;
    }
    bool m_measuring = false;
    int m_depth = 0;
    std::vector<double> m_tickUs;
    double m_paintUs = 0;
    std::map<std::string, double> m_paintUsByClass;
};

double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1)));
    return values[at];
}

QRect ParseRect(const char* text) {
    int x = 0, y = 0, w = 0, h = 0;
    std::sscanf(text, "%d,%d,%d,%d", &x, &y, &w, &h);
    return QRect(x, y, w, h);
}

void PrintRect(const char* name, const QRect& r) {
    std::printf(" %s=%d,%d,%d,%d", name, r.x(), r.y(), r.width(), r.height());
}

// Plays on for `seconds` once both players show pictures, then prints
// CPU and lost pictures; the caller has started both.
int MeasurePlaying(TimingApplication& app, CVlcPlayer& front, CVlcPlayer& rear, int seconds) {
    QElapsedTimer wait;
    wait.start();
    while ((front.GetTime() <= 0 || rear.GetTime() <= 0) && wait.elapsed() < 30'000)
        QTest::qWait(20);
    QTest::qWait(500);
    const libvlc_media_stats_t before[2] = {StatsOf(front), StatsOf(rear)};
    const double cpuBefore = TreeCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    app.m_measuring = true;
    QTest::qWait(seconds * 1000);
    app.m_measuring = false;
    const double wallSeconds = wall.elapsed() / 1000.0;
    const double cpu = TreeCpuSeconds() - cpuBefore;
    const libvlc_media_stats_t after[2] = {StatsOf(front), StatsOf(rear)};
    std::printf("cpu %.3f\n", cpu / wallSeconds);
    std::printf("lost %d\n", (after[0].i_lost_pictures - before[0].i_lost_pictures) +
                                 (after[1].i_lost_pictures - before[1].i_lost_pictures));
    std::printf("displayed %d %d\n", after[0].i_displayed_pictures - before[0].i_displayed_pictures,
                after[1].i_displayed_pictures - before[1].i_displayed_pictures);
    return 0;
}

int RunKolvex(TimingApplication& app, int64_t launchedUs, const QString& card, int seconds) {
    kolvex::CKolvexDlg window;
    window.OnInitDialog();
    if (!window.m_frontPlayer.m_bUsable) {
        std::fprintf(stderr, "libVLC could not be loaded\n");
        return 1;
    }
    QString error;
    const int source = kolvex::SourceForPath(card, &error);
    if (source < 0) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    int64_t scannedUs = 0;
    QTimer::singleShot(0, &window, [&] {
        window.OpenSource(source, QFileInfo(card).absoluteFilePath());
        scannedUs = NowUs();
    });
    window.show();
    // The first front picture: libVLC's own count of displayed pictures.
    int64_t firstPictureUs = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (firstPictureUs == 0 && StatsOf(window.m_frontPlayer).i_displayed_pictures > 0)
            firstPictureUs = NowUs();
    });
    poll.start(2);
    QElapsedTimer wait;
    wait.start();
    while (firstPictureUs == 0 && wait.elapsed() < 30'000)
        QTest::qWait(2);
    poll.stop();
    if (firstPictureUs == 0) {
        std::fprintf(stderr, "no front picture within 30 s\n");
        return 1;
    }
    std::printf("scan_done_ms %.1f\n", (scannedUs - launchedUs) / 1000.0);
    std::printf("first_picture_ms %.1f\n", (firstPictureUs - launchedUs) / 1000.0);
    std::printf("first_picture_after_scan_ms %.1f\n", (firstPictureUs - scannedUs) / 1000.0);
    const int status = MeasurePlaying(app, window.m_frontPlayer, window.m_rearPlayer, seconds);
    const double ticks = static_cast<double>(app.m_tickUs.size());
    std::printf("ticks %zu\n", app.m_tickUs.size());
    std::printf("tick_median_us %.1f\n", Percentile(app.m_tickUs, 0.5));
    std::printf("tick_p99_us %.1f\n", Percentile(app.m_tickUs, 0.99));
    std::printf("paint_per_tick_us %.1f\n", ticks > 0 ? app.m_paintUs / ticks : 0.0);
    for (const auto& [name, us] : app.m_paintUsByClass)
        std::fprintf(stderr, "paint %-28s %9.1f us per tick\n", name.c_str(),
                     ticks > 0 ? us / ticks : 0.0);
    std::printf("surfaces");
    PrintRect("front",
              QRect(window.m_frontVideo.mapTo(&window, QPoint(0, 0)), window.m_frontVideo.size()));
    PrintRect("rear",
              QRect(window.m_rearVideo.mapTo(&window, QPoint(0, 0)), window.m_rearVideo.size()));
    PrintRect("window", window.geometry());
    std::printf("\n");
    window.Playback().StopBoth();
    return status;
}

int RunBare(TimingApplication& app, const QString& card, int seconds, const QRect& frontArea,
            const QRect& rearArea, const QRect& windowArea) {
    const QString front = card + "/DCIM/CAMF/MOVA0010.MP4";
    const QString rear = card + "/DCIM/CAMR/MOVA001R.MP4";
    QWidget window;
    window.setGeometry(windowArea);
    QWidget* surfaces[2] = {new QWidget(&window), new QWidget(&window)};
    surfaces[0]->setGeometry(frontArea);
    surfaces[1]->setGeometry(rearArea);
    for (QWidget* surface : surfaces)
        surface->setAttribute(Qt::WA_NativeWindow);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    CVlcPlayer players[2];
    const QString paths[2] = {front, rear};
    for (int i = 0; i < 2; ++i) {
        if (!players[i].m_bUsable) {
            std::fprintf(stderr, "libVLC could not be loaded\n");
            return 1;
        }
        players[i].SetWindow(static_cast<CVlcPlayer::WindowHandle>(surfaces[i]->winId()));
        players[i].SetVolume(i == 0 ? 200 : 0);
        players[i].OpenMedia(paths[i].toUtf8().constData());
        players[i].Play();
    }
    const int status = MeasurePlaying(app, players[0], players[1], seconds);
    for (CVlcPlayer& player : players)
        player.Stop();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const char* launched = std::getenv("KOLVEX_BENCH_LAUNCHED_US");
    const int64_t launchedUs = launched ? std::atoll(launched) : NowUs();
    if (argc < 4 || (std::strcmp(argv[1], "kolvex") && std::strcmp(argv[1], "bare")) ||
        (!std::strcmp(argv[1], "bare") && argc < 7)) {
        std::fprintf(stderr, "usage: kolvex-player-bench kolvex CARD SECONDS\n"
                             "       kolvex-player-bench bare CARD SECONDS FRONT REAR WINDOW\n");
        return 64;
    }
    if (!kolvex::ApplyDisplayChoice())
        return 1;
    const bool bare = !std::strcmp(argv[1], "bare");
    if (!bare)
        kolvex::PrepareWebEngineProcess();
    TimingApplication app(argc, argv);
    const QString card = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const int seconds = std::max(1, std::atoi(argv[3]));
    if (bare)
        return RunBare(app, card, seconds, ParseRect(argv[4]), ParseRect(argv[5]),
                       ParseRect(argv[6]));
    return RunKolvex(app, launchedUs, card, seconds);
}
