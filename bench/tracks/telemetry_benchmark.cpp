// Reading all samples of a 1-hour GPMF recording (GPS5 at 18 Hz, ACCL at
// 200 Hz, one payload a second), as the window does when the recording
// opens: the parse, then the blocks the player's views read.
#include "camera_file_writer.h"
#include "telemetry_writer.h"
#include "tracks/parse_recording.h"
#include "tracks/recording_blocks.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace kolvex::fixtures;

constexpr int kSeconds = 3600;

std::string HourOfGpmf() {
    const std::string path =
        (std::filesystem::temp_directory_path() / "kolvex-bench-gpmf-hour.MP4").string();
    IsoBox moov("moov");
    moov.Add(Mvhd(1000, kSeconds * 1000));
    TrackSpec video;
    video.timeScale = 1000;
    video.duration = kSeconds * 1000;
    moov.Add(Trak(video));
    Bytes clip = Ftyp().Serialize();
    Append(clip, moov.Serialize());
    std::vector<TimedSample> samples;
    for (int s = 0; s < kSeconds; ++s) {
        GpmfSecond second;
        for (int i = 0; i < 18; ++i)
            second.gps.push_back({48.1 + s * 1e-4 + i * 5e-6, 11.5 + s * 1e-4, 500, 15, 15});
        second.accl.assign(200, GpmfAccel{0.5, -0.2, 9.8});
        samples.push_back({GpmfPayload(second), 1000});
    }
    WriteBytes(path, AddMetadataTrack(clip, "gpmd", samples));
    return path;
}

void BM_ReadHourOfGpmf(benchmark::State& state) {
    static const std::string path = HourOfGpmf();
    for (auto _ : state) {
        kolvex::VideoMetaInfo meta;
        if (!kolvex::ParseRecording(path, meta)) {
            state.SkipWithError("the recording does not parse");
            return;
        }
        kolvex::RecordingBlocks blocks;
        kolvex::ReadRecordingBlocks(path, meta, blocks);
        benchmark::DoNotOptimize(blocks.gps.data());
        state.counters["gpsSamples"] = static_cast<double>(blocks.gps.size() / 32);
        state.counters["gsensorSamples"] = static_cast<double>(blocks.gsensor.size() / 3);
    }
}
BENCHMARK(BM_ReadHourOfGpmf)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
