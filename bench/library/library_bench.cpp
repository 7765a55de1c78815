// The recording library in process, without a tool's start-up and output:
// loading a card of camera recordings (per file), reading one recording's
// blocks and drawing its path, and the position lookup of the playback tick.
//
//     library_bench [--benchmark_filter=...]
//
// The card is written into a temporary folder first (sparse files).
#include "camera_file_writer.h"

#include "library/native_path.h"
#include "library/recording_manager.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <filesystem>

using namespace kolvex;
using namespace kolvex::fixtures;

namespace {

constexpr int kCardRecordings = 1000;
constexpr unsigned kSeconds = 180;

class NullMap : public IMapView {
public:
    bool RunScript(const QString& statement) override {
        benchmark::DoNotOptimize(statement.size());
        return true;
    }
    bool MoveMarker(double latitude, double longitude) override {
        benchmark::DoNotOptimize(latitude + longitude);
        return true;
    }
};

// One card for every benchmark of the run.
QString Card() {
    static QTemporaryDir dir;
    static bool written = false;
    if (!written) {
        written = true;
        for (int k = 0; k < kCardRecordings; ++k) {
            const std::time_t start = 1433152800 + std::time_t(k) * kSeconds;
            std::tm f{};
            gmtime_r(&start, &f);
            char date[32];
            std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &f);
            CameraRecording r;
            r.durationMs = kSeconds * 1000;
            r.textDate = date;
            r.gps = Drive(kSeconds, 1, f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour,
                          f.tm_min, f.tm_sec);
            r.gsensor.resize(kSeconds * 10);
            r.mediaBytes = 270ull * 1000 * 1000;
            char path[96];
            std::snprintf(path, sizeof path, "/DCIM/%03dMEDIA/FILE%04d.MP4", 100 + k / 100, k + 1);
            const std::string full = NativePath(dir.path()).toStdString() + path;
            std::filesystem::create_directories(std::filesystem::path(full).parent_path());
            Mp4Image(r).Write(full);
        }
    }
    return dir.path();
}

void BM_LoadCard(benchmark::State& state) {
    const QString card = Card();
    CRecordingManager manager;
    for (auto _ : state) {
        manager.Load(card, QString());
        benchmark::DoNotOptimize(manager.Entries().data());
    }
    state.SetItemsProcessed(state.iterations() * kCardRecordings);
    // Seconds per file, shown by the library with a unit prefix (us).
    state.counters["per_file"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kCardRecordings,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LoadCard)->Unit(benchmark::kMillisecond);

void BM_LoadRecordingData(benchmark::State& state) {
    CRecordingManager manager;
    NullMap map;
    manager.Init(nullptr, nullptr, nullptr, &map, nullptr);
    manager.Load(Card(), QString());
    for (auto _ : state)
        benchmark::DoNotOptimize(manager.LoadRecordingData(0));
}
BENCHMARK(BM_LoadRecordingData)->Unit(benchmark::kMicrosecond);

// The playback tick: every report maps a time to a sample and, once per
// new sample, moves the marker. Constant work whatever the recording's length.
void BM_UpdatePosition(benchmark::State& state) {
    CRecordingManager manager;
    NullMap map;
    manager.Init(nullptr, nullptr, nullptr, &map, nullptr);
    manager.Load(Card(), QString());
    manager.LoadRecordingData(0);
    int64_t t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.UpdatePosition(t, true, true));
        t = (t + 250) % (kSeconds * 1000); // four reports per second of video
    }
}
BENCHMARK(BM_UpdatePosition);

} // namespace

BENCHMARK_MAIN();
