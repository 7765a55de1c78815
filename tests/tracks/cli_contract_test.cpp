// kolvex-cli probe and samples, run as a user or a script runs them: exact
// output, exit codes, and nothing on stdout when a file cannot be used.
#include "camera_file_writer.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace kolvex {
namespace {

using namespace kolvex::fixtures;

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

CliRun RunCli(const testing::TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), KOLVEX_CLI_PATH);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    CliRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
}

CameraRecording SmallRecording() {
    CameraRecording r;
    r.width = 1280;
    r.height = 720;
    r.durationMs = 20000;
    r.mediaBytes = 1000;
    GpsRecord undated;
    undated.latitude = 4807.038;
    undated.longitude = -1134.0;
    undated.speed = 12;
    r.gps = {DatedSample(2015, 6, 1, 12, 0, 0), undated};
    r.gps[0].heading = 45;
    r.gps[0].altitude = -3;
    r.gpsInfo = InfoRecord(10, 0, 0, 255);
    r.gsensor = {{64, -128, 0}, {0, 0, 127}};
    r.gsensorInfo = InfoRecord(10, 8);
    return r;
}

TEST(CliProbeTest, PrintsTheContractKeysInOrder) {
    testing::TempDir dir;
    const Bytes bytes = BuildMp4(SmallRecording());
    ASSERT_TRUE(WriteFile(dir.File("2015_0601_120000_001.MP4"), bytes));

    const CliRun run = RunCli(dir, {"probe", dir.File("2015_0601_120000_001.MP4")});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const size_t gps = bytes.size() - 64 - 6 - 8 + 4 - 4; // gps0 payload, then gsen box
    const std::string expected = "{\n"
                                 "  \"gpsOffset\": " +
                                 std::to_string(gps) +
                                 ",\n"
                                 "  \"gpsSize\": 64,\n"
                                 "  \"gsensorOffset\": " +
                                 std::to_string(bytes.size() - 6) +
                                 ",\n"
                                 "  \"gsensorSize\": 6,\n"
                                 "  \"width\": 1280,\n"
                                 "  \"height\": 720,\n"
                                 "  \"startTime\": 1433152800,\n"
                                 "  \"durationSec\": 20,\n"
                                 "  \"durationMs\": 20000,\n"
                                 "  \"fileLength\": " +
                                 std::to_string(bytes.size()) +
                                 ",\n"
                                 "  \"gpsInfo\": [\n    10,\n    0,\n    0,\n    255\n  ],\n"
                                 "  \"gsensorInfo\": [\n    10,\n    8,\n    0,\n    0\n  ]\n"
                                 "}\n";
    EXPECT_EQ(run.out, expected);
}

TEST(CliProbeTest, ExitCodesAndMessages) {
    testing::TempDir dir;
    ASSERT_TRUE(WriteFile(dir.File("GOOD.AVI"), BuildAvi(SmallRecording())));
    ASSERT_TRUE(WriteFile(dir.File("lower.avi"), BuildAvi(SmallRecording()))); // MP4 parser
    ASSERT_TRUE(WriteFile(dir.File("GOOD.MOV"), BuildMp4(SmallRecording())));
    ASSERT_TRUE(WriteFile(dir.File("TEXT.MP4"), Bytes{'h', 'e', 'l', 'l', 'o', '\n'}));
    CameraRecording cut = SmallRecording();
    Bytes unfinished = BuildAvi(cut);
    unfinished.resize(300); // the movie list now reaches past the end
    ASSERT_TRUE(WriteFile(dir.File("CUT.AVI"), unfinished));
    ASSERT_TRUE(WriteFile(dir.File("HEADER.AVI"), RiffFile().Serialize()));
    const struct {
        std::vector<std::string> args;
        int status;
        const char* errPart; // "" = stderr must be empty
    } cases[] = {
        {{"probe", dir.File("GOOD.AVI")}, 0, ""},
        {{"probe", dir.File("GOOD.MOV")}, 0, ""},
        {{"probe", dir.File("lower.avi")}, 1, "not an MP4"},
        {{"probe", dir.File("TEXT.MP4")}, 1, "ftyp"},
        {{"probe", dir.File("CUT.AVI")}, 1, "beyond the end"},
        {{"probe", dir.File("HEADER.AVI")}, 1, "no video stream format"},
        {{"probe", dir.File("MISSING.MP4")}, 2, "No such file"},
        {{"probe", dir.File("")}, 1, "folder"},
        {{"probe"}, 64, "Usage"},
        {{"probe", "a", "b"}, 64, "Usage"},
        {{"samples", dir.File("MISSING.MP4")}, 2, "No such file"},
        {{"samples", dir.File("TEXT.MP4"), "--csv"}, 1, "ftyp"},
        {{"samples"}, 64, "Usage"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(dir, c.args);
        const std::string what = c.args.back();
        EXPECT_EQ(run.status, c.status) << what;
        if (c.status != 0) {
            EXPECT_EQ(run.out, "") << what;
            EXPECT_NE(run.err.find(c.errPart), std::string::npos) << what << ": " << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        } else {
            EXPECT_EQ(run.err, "") << what;
            EXPECT_EQ(run.out.front(), '{') << what;
        }
    }
}

TEST(CliProbeTest, HelpGoesToStdout) {
    testing::TempDir dir;
    for (const char* command : {"probe", "samples"}) {
        const CliRun run = RunCli(dir, {command, "--help"});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("Usage: kolvex-cli"), std::string::npos);
    }
    const CliRun all = RunCli(dir, {"--help"});
    EXPECT_NE(all.out.find("probe FILE"), std::string::npos);
    EXPECT_NE(all.out.find("samples FILE [--csv]"), std::string::npos);
}

TEST(CliSamplesTest, CsvHasTheGpsTableThenTheGSensorTable) {
    testing::TempDir dir;
    ASSERT_TRUE(WriteFile(dir.File("A.MP4"), BuildMp4(SmallRecording())));

    const CliRun run = RunCli(dir, {"samples", dir.File("A.MP4"), "--csv"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "index,time_ms,date,time,latitude,longitude,altitude_m,speed_kmh,heading_deg,fix\n"
              "0,0,2015-06-01,12:00:00,48.1173,11.5666667,-3,0,90,1\n"
              "1,100,,,48.1173,-11.5666667,0,12,0,0\n"
              "\n"
              "index,time_ms,x_g,y_g,z_g\n"
              "0,0,4,-8,0\n"
              "1,100,0,0,7.9375\n");
}

TEST(CliSamplesTest, JsonCarriesTheSameValues) {
    testing::TempDir dir;
    ASSERT_TRUE(WriteFile(dir.File("A.MP4"), BuildMp4(SmallRecording())));

    const CliRun run = RunCli(dir, {"samples", dir.File("A.MP4")});

    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* part : {"\"gpsRate\": 10", "\"gsensorScale\": 8", "\"date\": \"2015-06-01\"",
                             "\"time\": \"12:00:00\"", "\"date\": null", "\"latitude\": 48.1173",
                             "\"longitude\": -11.5666667", "\"headingDeg\": 90", "\"fix\": false",
                             "\"z\": 7.9375", "\"timeMs\": 100"})
        EXPECT_NE(run.out.find(part), std::string::npos) << part;
}

} // namespace
} // namespace kolvex
