// How long a one-hour path at 10 Hz (36,000 points) takes to reach the map
// page when sent point by point through the map view: statements batched per
// event-loop turn versus one script call per point. Needs a display (run it
// under Xvfb). Usage: map_batching_bench [points] [batched runs]
#include "html_map_dlg.h"
#include "web_engine_setup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using kolvex::CHtmlMapDlg;

namespace {

struct Timing {
    double issueMs = 0;   // the sender's loop of RunScript calls
    double arrivedMs = 0; // until the page holds every point
};

// Asks the page how many whole-path points it holds; runJavaScript calls run
// in order, so the answer comes after every statement issued before it.
int PointsOnPage(CHtmlMapDlg& map) {
    QCoreApplication::processEvents(); // statements still queued in the view go first
    int count = -1;
    map.Page()->runJavaScript(QStringLiteral("JSON.parse(kolvexMapState()).path.length"),
                              [&](const QVariant& value) { count = value.toInt(); });
    if (!QTest::qWaitFor([&] { return count >= 0; }, 600000))
        return -1;
    return count;
}

Timing SendPath(CHtmlMapDlg& map, int points, bool batched) {
    map.SetBatching(batched);
    map.RunScript(QStringLiteral("path_delete()"));
    if (PointsOnPage(map) != 0)
        std::abort();

    // Statement texts are made beforehand: formatting is the sender's cost,
    // not the transport's.
    std::vector<QString> statements;
    statements.reserve(points);
    for (int i = 0; i < points; ++i)
        statements.push_back(QStringLiteral("path_plot(%1,%2)")
                                 .arg(48.0 + i * 1e-5, 0, 'f', 6)
                                 .arg(11.0 + i * 1e-5, 0, 'f', 6));

    QElapsedTimer clock;
    clock.start();
    for (const QString& statement : statements)
        map.RunScript(statement);
    Timing timing;
    timing.issueMs = clock.nsecsElapsed() / 1e6;
    const int held = PointsOnPage(map);
    timing.arrivedMs = clock.nsecsElapsed() / 1e6;
    if (held != points) {
        std::fprintf(stderr, "page holds %d of %d points\n", held, points);
        std::exit(1);
    }
    return timing;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    kolvex::PrepareWebEngineProcess();
    QApplication app(argc, argv);
    const int points = argc > 1 ? std::atoi(argv[1]) : 36000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

    CHtmlMapDlg map;
    map.resize(640, 400);
    map.show();
    map.LoadMapPage();
    if (!QTest::qWaitFor([&] { return map.IsPageReady(); }, 60000)) {
        std::fprintf(stderr, "the map page did not load\n");
        return 1;
    }

    SendPath(map, 1000, true); // warm up the page's script engine
    std::vector<double> batchedIssue, batchedArrived;
    for (int run = 0; run < runs; ++run) {
        const Timing t = SendPath(map, points, true);
        batchedIssue.push_back(t.issueMs);
        batchedArrived.push_back(t.arrivedMs);
    }
    const Timing single = SendPath(map, points, false);

    const double batched = Median(batchedArrived);
    std::printf("points: %d\n", points);
    std::printf("batched per turn:   %9.1f ms until on page (median of %d; issuing %.1f ms)\n",
                batched, runs, Median(batchedIssue));
    std::printf("one call per point: %9.1f ms until on page\n", single.arrivedMs);
    std::printf("speed-up: %.1fx\n", single.arrivedMs / batched);
    return 0;
}
