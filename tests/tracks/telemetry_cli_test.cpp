// kolvex-cli on recordings of other cameras: probe names the format, and
// samples, gpx, kml, events and summary work on each of them.
#include "telemetry_clips.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace kolvex {
namespace {

using testing::ClipFormat;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct CliRun {
    int status = -1;
    std::string out;
};

CliRun RunCli(const testing::TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), KOLVEX_CLI_PATH);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = dir.File("stdout");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    CliRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = Slurp(out);
    return run;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

struct CliCase {
    const char* name;
    ClipFormat format;
    const char* telemetry;
};

class TelemetryCliTest : public ::testing::TestWithParam<CliCase> {};

TEST_P(TelemetryCliTest, EveryCommandReadsTheFormat) {
    if (!fixtures::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    testing::TempDir dir;
    const testing::Clip clip = testing::MakeClip(dir, GetParam().format, "CLIP.MP4");
    ASSERT_FALSE(clip.path.empty());

    const CliRun probe = RunCli(dir, {"probe", clip.path});
    ASSERT_EQ(probe.status, 0);
    EXPECT_NE(probe.out.find(std::string("\"telemetry\": \"") + GetParam().telemetry + "\""),
              std::string::npos)
        << probe.out;
    EXPECT_NE(probe.out.find("\"startTime\": 1433160000"), std::string::npos) << probe.out;

    const CliRun samples = RunCli(dir, {"samples", clip.path, "--csv"});
    ASSERT_EQ(samples.status, 0);
    // Local time in Berlin; the first sample at the drive's start (to the
    // precision of freeGPS's floats), 54 km/h, fixed.
    const std::string first = samples.out.substr(samples.out.find('\n') + 1, 80);
    EXPECT_EQ(first.rfind("0,0,2015-06-01,14:00:00,48.1173", 0), 0u) << first;
    EXPECT_NE(first.find(",11.516"), std::string::npos) << first;
    EXPECT_NE(first.find(",54,"), std::string::npos) << first;

    const CliRun gpx = RunCli(dir, {"gpx", clip.path});
    ASSERT_EQ(gpx.status, 0);
    EXPECT_EQ(Count(gpx.out, "<trkpt "), 3u * clip.fixesPerSecond);
    EXPECT_NE(gpx.out.find("<time>2015-06-01T12:00:00Z</time>"), std::string::npos);

    const CliRun kml = RunCli(dir, {"kml", clip.path, "--out", dir.File("")});
    ASSERT_EQ(kml.status, 0);
    const std::string kmlText = Slurp(kml.out.substr(0, kml.out.find('\n')));
    EXPECT_NE(kmlText.find("11.516"), std::string::npos) << kml.out;

    // Driving steadily at rest on the G axes: no events, 54 km/h as the top speed.
    const CliRun events = RunCli(dir, {"events", clip.path, "--csv"});
    ASSERT_EQ(events.status, 0);
    EXPECT_EQ(events.out, "path,time_ms,kind,peak_g,duration_ms\n");
    const CliRun summary = RunCli(dir, {"summary", clip.path});
    ASSERT_EQ(summary.status, 0);
    EXPECT_NE(summary.out.find("\"maxSpeedKmh\": 54"), std::string::npos) << summary.out;
}

INSTANTIATE_TEST_SUITE_P(Formats, TelemetryCliTest,
                         ::testing::Values(CliCase{"Gpmf", ClipFormat::Gpmf5, "gpmf"},
                                           CliCase{"Camm", ClipFormat::CammGps, "camm"},
                                           CliCase{"FreeGps", ClipFormat::FreeGps, "freegps"},
                                           CliCase{"Nmea", ClipFormat::Nmea, "nmea"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kolvex
