// kolvex-cli events and summary end to end on the sample card (its clips
// stood in for by small fixture files, its camera records the real ones):
// the hard braking in MOVG0020.MP4 and the door slam in MOVA0080.MP4 are
// found at their moments, the figures add up per group and for the card,
// and the commands fail as the others do.
#include "camera_tracks.h"
#include "card_plan.h"
#include "card_writer.h"

#include "fixtures/camera_file_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kolvex::samplecard {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class SampleCardCliTest : public ::testing::Test {
protected:
    // One card for every case: writing it takes a moment even without ffmpeg.
    static void SetUpTestSuite() {
        s_work = fs::temp_directory_path() / ("kolvex-cardcli-" + std::to_string(getpid()));
        fs::remove_all(s_work);
        fs::create_directories(s_work / "cwd");
        // The user's own settings must not decide the thresholds here.
        fs::create_directories(s_work / "config" / "kolvex");
        setenv("XDG_CONFIG_HOME", (s_work / "config").c_str(), 1);
        fixtures::CameraRecording plain;
        plain.durationMs = 20000;
        plain.writeGps = false;
        plain.writeGsensor = false;
        plain.gpsInfo.reset();
        plain.gsensorInfo.reset();
        ASSERT_TRUE(fixtures::WriteFile((s_work / "clip.mp4").string(), fixtures::BuildMp4(plain)));
        ASSERT_TRUE(fixtures::WriteFile((s_work / "clip.avi").string(), fixtures::BuildAvi(plain)));
        // Stands in for ffmpeg: copies the fixture of the requested format to
        // the output path, the last argument.
        const fs::path encoder = s_work / "encoder";
        std::ofstream(encoder)
            << "#!/bin/sh\nfmt=; prev=; out=\n"
               "for a; do\n"
               "  if [ \"$prev\" = -f ] && [ \"$a\" != lavfi ]; then fmt=$a; fi\n"
               "  prev=$a; out=$a\n"
               "done\n"
               "if [ \"$fmt\" = avi ]; then cp '"
            << (s_work / "clip.avi").string() << "' \"$out\"; else cp '"
            << (s_work / "clip.mp4").string() << "' \"$out\"; fi\n";
        fs::permissions(encoder, fs::perms::owner_all);
        setenv("KOLVEX_FFMPEG", encoder.c_str(), 1);
        WriteSampleCard(s_work / "card", SampleCardPlan());
        // The other cameras' clips last 10 s.
        plain.durationMs = 10000;
        ASSERT_TRUE(fixtures::WriteFile((s_work / "clip.mp4").string(), fixtures::BuildMp4(plain)));
        WriteSampleCard(s_work / "action", ActionCardPlan());
        WriteSampleCard(s_work / "dual", DualDatedCardPlan());
        unsetenv("KOLVEX_FFMPEG");
    }
    static void TearDownTestSuite() { fs::remove_all(s_work); }

    void TearDown() override {
        fs::remove(s_work / "cwd" / "Kolvex.ini");
        fs::remove(s_work / "config" / "kolvex" / "Kolvex.ini");
    }

    // Runs the tool in a folder of its own, where a test may put a Kolvex.ini.
    static CliRun Cli(std::vector<std::string> args) {
        args.insert(args.begin(), KOLVEX_CLI_PATH);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string out = (s_work / "stdout").string(), err = (s_work / "stderr").string();
        const std::string cwd = (s_work / "cwd").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
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

    static QJsonObject Json(const CliRun& run) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    }

    static std::string Card() { return (s_work / "card").string(); }

    static inline fs::path s_work;
};

// Events by recording name, as "kind@timeMs".
std::map<std::string, std::vector<std::string>> EventsByName(const QJsonObject& document) {
    std::map<std::string, std::vector<std::string>> found;
    for (const auto& value : document["recordings"].toArray()) {
        const QJsonObject recording = value.toObject();
        auto& list = found[recording["name"].toString().toStdString()];
        for (const auto& value : recording["events"].toArray()) {
            const QJsonObject e = value.toObject();
            list.push_back(e["kind"].toString().toStdString() + "@" +
                           std::to_string(e["timeMs"].toInteger()));
        }
    }
    return found;
}

TEST_F(SampleCardCliTest, ScanListsTheSameCardWithAnyNumberOfReaders) {
    const CliRun sequential = Cli({"scan", "--readers", "0", Card()});
    ASSERT_EQ(sequential.status, 0) << sequential.err;
    EXPECT_EQ(Json(sequential)["recordings"].toArray().size(), 8);
    EXPECT_EQ(Json(sequential)["groups"].toArray().size(), 4);
    for (const char* readers : {"1", "2", "8", "16"}) {
        const CliRun overlapped = Cli({"scan", "--readers", readers, Card()});
        EXPECT_EQ(overlapped.status, 0) << readers;
        EXPECT_EQ(overlapped.out, sequential.out) << readers << " readers";
        EXPECT_EQ(overlapped.err, sequential.err) << readers << " readers";
    }
    EXPECT_EQ(Cli({"scan", Card()}).out, sequential.out) << "the default readers";
}

TEST_F(SampleCardCliTest, EventsFindTheBrakingAndTheDoorSlam) {
    const CliRun run = Cli({"events", Card()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto found = EventsByName(Json(run));
    ASSERT_EQ(found.size(), SampleCardPlan().recordings.size());
    for (const auto& [name, events] : found) {
        SCOPED_TRACE(name);
        if (name == "MOVG0020.MP4") // braking from 7.5 s, felt from the next sample
            EXPECT_EQ(events, std::vector<std::string>{"braking@7600"});
        else if (name == "MOVA0080.MP4")
            EXPECT_EQ(events, std::vector<std::string>{"impact@12000"});
        else
            EXPECT_TRUE(events.empty());
    }

    const CliRun csv = Cli({"events", Card(), "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::string prefix = Card() + "/DCIM/CAMF/";
    EXPECT_EQ(csv.out, "path,time_ms,kind,peak_g,duration_ms\n" + prefix +
                           "MOVG0020.MP4,7600,braking,0.875,1500\n" + prefix +
                           "MOVA0080.MP4,12000,impact,0.585,100\n");
}

// The player's settings decide, from the file the player uses: the user's
// configuration folder, or a Kolvex.ini in the current folder, which wins.
// With braking switched off and the door too short, nothing is left, and the
// output says which thresholds were in force.
TEST_F(SampleCardCliTest, ThresholdsComeFromThePlayersSettingsFile) {
    std::ofstream(s_work / "config" / "kolvex" / "Kolvex.ini") << "[UI]\nEventImpactG=0\n";
    const auto fromConfig = EventsByName(Json(Cli({"events", Card()})));
    EXPECT_EQ(fromConfig.at("MOVG0020.MP4"), std::vector<std::string>{"braking@7600"});
    EXPECT_TRUE(fromConfig.at("MOVA0080.MP4").empty());

    std::ofstream(s_work / "cwd" / "Kolvex.ini") << "[UI]\nEventBrakeG=0\nEventImpactMs=200\n";
    const CliRun run = Cli({"events", Card()});
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonObject document = Json(run);
    EXPECT_EQ(document["thresholds"]["braking"]["g"].toDouble(), 0.0);
    EXPECT_EQ(document["thresholds"]["impact"]["minMs"].toInt(), 200);
    EXPECT_EQ(document["thresholds"]["impact"]["g"].toDouble(), 0.5) << "one file, not both";
    EXPECT_EQ(document["thresholds"]["turn"]["g"].toDouble(), 0.4);
    const auto found = EventsByName(document);
    EXPECT_TRUE(found.at("MOVG0020.MP4").empty());
    EXPECT_TRUE(found.at("MOVA0080.MP4").empty()) << "the slam lasts 100 ms";
}

TEST_F(SampleCardCliTest, SummaryAddsUpRecordingsGroupsAndTheCard) {
    const CliRun run = Cli({"summary", Card()});
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonObject document = Json(run);
    const QJsonArray recordings = document["recordings"].toArray();
    const QJsonArray groups = document["groups"].toArray();
    ASSERT_EQ(recordings.size(), 8);
    ASSERT_EQ(groups.size(), 4);
    double cardDistance = 0;
    for (const auto& value : groups) {
        const QJsonObject group = value.toObject();
        double distance = 0;
        qint64 duration = 0, events = 0;
        double maxSpeed = 0;
        for (const auto& item : recordings) {
            const QJsonObject r = item.toObject();
            if (r["group"].toInt() != group["index"].toInt())
                continue;
            distance += r["distanceM"].toDouble();
            duration += r["durationMs"].toInteger();
            events += r["events"].toInteger();
            maxSpeed = std::max(maxSpeed, r["maxSpeedKmh"].toDouble());
        }
        EXPECT_NEAR(group["distanceM"].toDouble(), distance, 0.2);
        EXPECT_EQ(group["durationMs"].toInteger(), duration);
        EXPECT_EQ(group["events"].toInteger(), events);
        EXPECT_EQ(group["maxSpeedKmh"].toDouble(), maxSpeed);
        cardDistance += group["distanceM"].toDouble();
    }
    // Groups in order of their start: the commute (three recordings) ends
    // 500 m or so from its start; the parked car (at noon) goes nowhere and
    // has only the door.
    EXPECT_GT(groups[0]["distanceM"].toDouble(), 450);
    EXPECT_EQ(groups[0]["events"].toInt(), 1);
    const QJsonObject parked = groups[2].toObject();
    ASSERT_EQ(recordings[parked["firstEntry"].toInt()]["name"].toString(), "MOVA0080.MP4");
    EXPECT_EQ(parked["distanceM"].toDouble(), 0);
    EXPECT_EQ(parked["movingMs"].toInt(), 0);
    EXPECT_EQ(parked["events"].toInt(), 1);
    const QJsonObject card = document["card"].toObject();
    EXPECT_EQ(card["recordings"].toInt(), 8);
    EXPECT_EQ(card["groups"].toInt(), 4);
    EXPECT_EQ(card["events"].toInt(), 2);
    EXPECT_EQ(card["durationMs"].toInteger(), 160000);
    EXPECT_NEAR(card["distanceM"].toDouble(), cardDistance, 0.4);
    EXPECT_GT(card["averageSpeedKmh"].toDouble(), 20);
    EXPECT_LE(card["averageSpeedKmh"].toDouble(), card["maxSpeedKmh"].toDouble());

    // One recording alone is a card of one.
    const CliRun one = Cli({"summary", Card() + "/DCIM/CAMF/MOVG0020.MP4"});
    ASSERT_EQ(one.status, 0) << one.err;
    const QJsonObject alone = Json(one);
    EXPECT_EQ(alone["card"]["events"].toInt(), 1);
    EXPECT_EQ(alone["groups"].toArray().size(), 1);
}

TEST_F(SampleCardCliTest, FailuresAsTheOtherCommands) {
    std::ofstream(s_work / "cwd" / "note.MP4") << "not a recording\n";
    const std::string note = (s_work / "cwd" / "note.MP4").string();
    const std::string missing = (s_work / "missing").string();
    const struct {
        std::vector<std::string> args;
        int status;
        const char* errPart;
    } cases[] = {
        {{"events", missing}, 2, "no such file or folder"},
        {{"summary", missing}, 2, "no such file or folder"},
        {{"events", note, "--csv"}, 1, "not a usable recording"},
        {{"summary", note}, 1, "not a usable recording"},
        {{"events"}, 64, "Usage: kolvex-cli events"},
        {{"events", Card(), "--json"}, 64, "Usage: kolvex-cli events"},
        {{"summary", Card(), Card()}, 64, "Usage: kolvex-cli summary"},
        {{"summary", "--csv"}, 64, "Usage: kolvex-cli summary"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.errPart), std::string::npos) << run.err;
    }
    for (const char* command : {"events", "summary"}) {
        const CliRun help = Cli({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    }
    const CliRun all = Cli({"--help"});
    EXPECT_NE(all.out.find("events PATH [--csv]"), std::string::npos);
    EXPECT_NE(all.out.find("summary PATH"), std::string::npos);
}

// "name subdir flags startTime" of every listed recording, and the count
// of recordings of each group.
struct Listing {
    std::vector<std::string> recordings;
    std::vector<int> groups;
    int scanned = 0;
};

Listing ListingOf(const QJsonObject& scan) {
    Listing listing;
    for (const auto& value : scan["recordings"].toArray()) {
        const QJsonObject r = value.toObject();
        listing.recordings.push_back(
            r["subdir"].toString().toStdString() + r["name"].toString().toStdString() + " " +
            std::to_string(r["flags"].toInt()) + " " +
            std::to_string(r["startTime"].toInteger() - 1778739120)); // 08:12:00 in Berlin
    }
    for (const auto& value : scan["groups"].toArray())
        listing.groups.push_back(value.toObject()["count"].toInt());
    listing.scanned = scan["scanned"].toInt();
    return listing;
}

TEST_F(SampleCardCliTest, ScanListsTheOtherCamerasCards) {
    const std::string work = s_work.string();
    CliRun run = Cli({"scan", work + "/dual"});
    ASSERT_EQ(run.status, 0) << run.err;
    Listing listing = ListingOf(Json(run));
    // Front files only (rear files and the NMEA text are no recordings of
    // their own), start times from the names, events from RO and kind E.
    EXPECT_EQ(listing.recordings, (std::vector<std::string>{
                                      "DCIM/Movie/2026_0514_081200_001F.MP4 0 0",
                                      "DCIM/Movie/2026_0514_081210_002F.MP4 0 10",
                                      "DCIM/Movie/RO/2026_0514_081220_003F.MP4 1 20",
                                      "Normal/F/20260514_084710_NF.mp4 0 2110",
                                      "Normal/F/20260514_084720_NF.mp4 0 2120",
                                      "Event/F/20260514_174500_EF.mp4 1 34380",
                                  }));
    EXPECT_EQ(listing.groups, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(listing.scanned, 13);

    run = Cli({"scan", work + "/action"});
    ASSERT_EQ(run.status, 0) << run.err;
    listing = ListingOf(Json(run));
    // The chapters in order, each recording's chapters one group, starting
    // when the camera closed the first chapter less its length.
    EXPECT_EQ(listing.recordings, (std::vector<std::string>{
                                      "DCIM/100GOPRO/GH010042.MP4 0 0",
                                      "DCIM/100GOPRO/GH020042.MP4 0 10",
                                      "DCIM/100GOPRO/GH030042.MP4 0 20",
                                      "DCIM/100GOPRO/GOPR0043.MP4 0 2110",
                                      "DCIM/100GOPRO/GP010043.MP4 0 2120",
                                  }));
    EXPECT_EQ(listing.groups, (std::vector<int>{3, 2}));
}

// The recording of a plan by its file name.
const PlannedRecording& Planned(const CardPlan& plan, const std::string& name) {
    for (const PlannedRecording& r : plan.recordings)
        if (r.name == name)
            return r;
    throw std::invalid_argument("no recording " + name + " in the plan");
}

// Each front file of the other cameras' cards names the format its GPS is in,
// and its samples follow the planned drive: the speed at a moment, the fix
// lost where the receiver had none, the G-sensor where the camera has one.
TEST_F(SampleCardCliTest, ProbeAndSamplesOfTheOtherCamerasRecordings) {
    struct Case {
        const char* card;   // below the work folder
        const char* folder; // on the card
        const char* name;
        const char* format;            // probe's "telemetry", "" for none
        int gsensorSamples;            // 100 Hz over 10 s, or none
        std::vector<int> noFixSeconds; // seconds of the recording without a fix
    };
    const std::vector<Case> cases = {
        {"action", "DCIM/100GOPRO", "GH010042.MP4", "gpmf", 1000, {}},
        {"action", "DCIM/100GOPRO", "GH030042.MP4", "gpmf", 1000, {}},
        {"action", "DCIM/100GOPRO", "GOPR0043.MP4", "gpmf", 1000, {6, 7, 8, 9}},
        {"action", "DCIM/100GOPRO", "GP010043.MP4", "gpmf", 1000, {0, 1, 2}},
        {"dual", "DCIM/Movie", "2026_0514_081200_001F.MP4", "nmea", 0, {}},
        {"dual", "DCIM/Movie", "2026_0514_081210_002F.MP4", "freegps", 0, {}},
        {"dual", "Normal/F", "20260514_084710_NF.mp4", "freegps", 0, {0, 1, 2}},
        {"dual", "DCIM/Movie", "2026_0514_081200_001R.MP4", "", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string card = c.card;
        const CardPlan plan = card == "action" ? ActionCardPlan() : DualDatedCardPlan();
        const std::string path = (s_work / card / c.folder / c.name).string();
        const CliRun probe = Cli({"probe", path});
        ASSERT_EQ(probe.status, 0) << probe.err;
        EXPECT_EQ(Json(probe)["telemetry"].toString().toStdString(), c.format);

        const CliRun run = Cli({"samples", path});
        ASSERT_EQ(run.status, 0) << run.err;
        const QJsonObject samples = Json(run);
        ASSERT_EQ(samples["gsensor"].toArray().size(), c.gsensorSamples);
        const QJsonArray gps = samples["gps"].toArray();
        if (*c.format == '\0') {
            EXPECT_TRUE(gps.isEmpty());
            continue;
        }
        // The G-sensor in the car's axes (x forwards, y left, z up), a
        // quarter second into each second, away from the drive's changes.
        const QJsonArray gsensor = samples["gsensor"].toArray();
        const PlannedRecording& planned = Planned(plan, c.name);
        const PlannedDrive& drive = plan.drives.at(planned.drive);
        for (int second = 0; c.gsensorSamples && second < 10; ++second) {
            const double time = planned.window.from + second + 0.25;
            const DriveState& car = DriveStateAt(drive.states, time);
            Forces want{car.acceleration / 9.80665, -car.lateralAcceleration / 9.80665, 1.0};
            for (const Jolt& jolt : drive.jolts) {
                if (time >= jolt.time && time < jolt.time + jolt.seconds) {
                    want.x += jolt.x;
                    want.y += jolt.y;
                    want.z += jolt.z;
                }
            }
            const QJsonObject g = gsensor[second * 100 + 25].toObject();
            EXPECT_NEAR(g["x"].toDouble(), want.x, 0.12) << "at " << second << " s";
            EXPECT_NEAR(g["y"].toDouble(), want.y, 0.12) << "at " << second << " s";
            EXPECT_NEAR(g["z"].toDouble(), want.z, 0.12) << "at " << second << " s";
        }

        const int rate = samples["gpsRate"].toInt();
        ASSERT_GT(rate, 0);
        ASSERT_EQ(gps.size(), 10 * rate);
        for (int second = 0; second < 10; ++second) {
            const QJsonObject sample = gps[second * rate].toObject();
            const bool lost = std::count(c.noFixSeconds.begin(), c.noFixSeconds.end(), second);
            EXPECT_EQ(sample["fix"].toBool(), !lost) << "at " << second << " s";
            if (lost)
                continue;
            const DriveState& car = DriveStateAt(drive.states, planned.window.from + second);
            EXPECT_NEAR(sample["speedKmh"].toDouble(), car.speed * 3.6, 1.5) << "at " << second;
            EXPECT_NEAR(sample["latitude"].toDouble(), car.latitude, 0.0001) << "at " << second;
            EXPECT_NEAR(sample["longitude"].toDouble(), car.longitude, 0.0001) << "at " << second;
        }
    }
}

} // namespace
} // namespace kolvex::samplecard
