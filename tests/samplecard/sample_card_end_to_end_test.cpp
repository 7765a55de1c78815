// tools/make-sample-card as a user runs it, with real ffmpeg: the card it
// writes is read back by the camera-file reader and by ffprobe.
#include "tracks/kolvex_3gp_parser.h"
#include "tracks/kolvex_avi_parser.h"
#include "tracks/track_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kolvex {
namespace {

namespace fs = std::filesystem;

struct CommandResult {
    int status = -1;
    std::string out;
};

// Runs a shell command; stderr goes to stdout when asked.
CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// What the card must hold, written down apart from the code that plans it.
struct ExpectedRecording {
    std::string path;
    int width, height;
    int hour, minute, second; // on 2026-05-14, local time
    int gpsRate;              // 0: no GPS block
    bool readOnly;
    std::string rear; // "" when the front has no rear partner
};

const std::vector<ExpectedRecording>& Expected() {
    static const std::vector<ExpectedRecording> expected = {
        {"DCIM/CAMF/MOVA0010.MP4", 1920, 1080, 8, 12, 0, 1, false, "DCIM/CAMR/MOVA001R.MP4"},
        {"DCIM/CAMF/MOVG0020.MP4", 1920, 1080, 8, 12, 20, 1, true, "DCIM/CAMR/MOVG002R.MP4"},
        {"DCIM/CAMF/MOVA0030.MP4", 1920, 1080, 8, 12, 41, 1, false, ""},
        {"DCIM/MOVIE/MOVA0040.MOV", 1280, 720, 8, 47, 10, 10, false, "DCIM/MOVIE/MOVA004R.MOV"},
        {"DCIM/MOVIE/MOVA0050.MOV", 1280, 720, 8, 47, 30, 10, false, ""},
        {"DCIM/AVI/MOVA0060.AVI", 1280, 720, 17, 45, 0, 1, false, ""},
        {"DCIM/AVI/MOVA0070.AVI", 1280, 720, 17, 45, 20, 1, true, ""},
        {"DCIM/CAMF/MOVA0080.MP4", 1920, 1080, 12, 30, 0, 0, false, ""},
    };
    return expected;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

VideoMetaInfo Parse(const fs::path& path) {
    VideoMetaInfo meta{};
    CKolvex3gpParser mp4;
    CKolvexAviParser avi;
    CKolvexVideoParser& parser = EndsWith(path.string(), ".AVI")
                                     ? static_cast<CKolvexVideoParser&>(avi)
                                     : static_cast<CKolvexVideoParser&>(mp4);
    parser.SetResultRecord(&meta);
    EXPECT_EQ(parser.Parse(path.string()), 0) << path;
    return meta;
}

// The camera's naming rule of recording files, as the folder scan applies it.
bool FollowsNamingRule(const std::string& name) {
    static const std::regex rule("[A-Za-z0-9_-]{4}[0-9]{4}.*");
    if (!std::regex_match(name, rule))
        return false;
    return !EndsWith(name, ".AVI") || name.size() == 12;
}

// How the player finds a rear file: the character before the extension
// becomes 'R'; failing that, also the last character of the folder.
std::string FindRear(const fs::path& card, const std::string& front) {
    std::string path = front;
    path[path.rfind('.') - 1] = 'R';
    if (fs::exists(card / path))
        return path;
    path[path.rfind('/') - 1] = 'R';
    return fs::exists(card / path) ? path : "";
}

class SampleCardEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_card = fs::temp_directory_path() / ("kolvex-sample-card-" + std::to_string(getpid()));
        const char* source = std::getenv("KOLVEX_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        s_run = RunCommand(Quoted(std::string(source) + "/tools/make-sample-card") + " " +
                           Quoted(s_card.string()) + " 2>&1");
    }
    static void TearDownTestSuite() { fs::remove_all(s_card); }

    void SetUp() override { ASSERT_EQ(s_run.status, 0) << s_run.out; }

    static fs::path s_card;
    static CommandResult s_run;
};

fs::path SampleCardEndToEnd::s_card;
CommandResult SampleCardEndToEnd::s_run;

TEST_F(SampleCardEndToEnd, TheCardHoldsExactlyTheFilesItListed) {
    std::set<std::string> expected;
    for (const auto& e : Expected()) {
        expected.insert(e.path);
        if (!e.rear.empty())
            expected.insert(e.rear);
    }
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(s_card)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name[0] != '.')
            found.insert(fs::relative(entry.path(), s_card).string());
    }
    EXPECT_EQ(found, expected);
    for (const auto& path : expected)
        EXPECT_NE(s_run.out.find(path), std::string::npos) << path << " is not listed";
}

TEST_F(SampleCardEndToEnd, EveryRecordingParsesWithItsSizeStartAndSamples) {
    for (const auto& e : Expected()) {
        SCOPED_TRACE(e.path);
        const VideoMetaInfo meta = Parse(s_card / e.path);
        int64_t start = 0;
        ASSERT_TRUE(LocalTimeToEpoch(2026, 5, 14, e.hour, e.minute, e.second, start));
        EXPECT_EQ(meta.width, e.width);
        EXPECT_EQ(meta.height, e.height);
        EXPECT_EQ(meta.startTime, start);
        EXPECT_NEAR(meta.durationMs, 20000, 100);
        EXPECT_EQ(meta.gpsSize, static_cast<uint32_t>(e.gpsRate * 20 * 32));
        EXPECT_EQ(meta.gpsInfo[0], e.gpsRate);
        EXPECT_EQ(meta.gsensorSize, 200u * 3);
        EXPECT_EQ(meta.gsensorInfo[0], 10);

        struct stat status {};
        ASSERT_EQ(stat((s_card / e.path).c_str(), &status), 0);
        EXPECT_EQ((status.st_mode & S_IWUSR) == 0, e.readOnly);
    }
}

// Sorted by start time, a recording joins the previous one's group when it
// begins within 2 s of that one's start plus its whole seconds.
TEST_F(SampleCardEndToEnd, RecordingsFallIntoFourGroupsOfConsecutiveFiles) {
    std::vector<std::pair<VideoMetaInfo, std::string>> recordings;
    for (const auto& e : Expected())
        recordings.emplace_back(Parse(s_card / e.path), fs::path(e.path).filename().string());
    std::sort(recordings.begin(), recordings.end(),
              [](const auto& a, const auto& b) { return a.first.startTime < b.first.startTime; });
    std::vector<std::vector<std::string>> groups;
    for (size_t i = 0; i < recordings.size(); ++i) {
        const auto& meta = recordings[i].first;
        bool starts = i == 0;
        if (i > 0) {
            const auto& previous = recordings[i - 1].first;
            const int64_t gap = meta.startTime - (previous.startTime + previous.durationSec);
            starts = gap < -2 || gap > 2;
        }
        if (starts)
            groups.emplace_back();
        groups.back().push_back(recordings[i].second);
    }
    const std::vector<std::vector<std::string>> expected = {
        {"MOVA0010.MP4", "MOVG0020.MP4", "MOVA0030.MP4"},
        {"MOVA0040.MOV", "MOVA0050.MOV"},
        {"MOVA0080.MP4"},
        {"MOVA0060.AVI", "MOVA0070.AVI"},
    };
    EXPECT_EQ(groups, expected);
}

// Front files are recordings by the camera's naming rule; the rear files are
// found through their front file only, so that a scan does not list them as
// recordings of their own.
TEST_F(SampleCardEndToEnd, FrontNamesFollowTheRuleAndFindTheirRearFiles) {
    for (const auto& e : Expected()) {
        SCOPED_TRACE(e.path);
        EXPECT_TRUE(FollowsNamingRule(fs::path(e.path).filename().string()));
        EXPECT_EQ(FindRear(s_card, e.path), e.rear);
        if (e.rear.empty())
            continue;
        EXPECT_FALSE(FollowsNamingRule(fs::path(e.rear).filename().string()));
        const VideoMetaInfo rear = Parse(s_card / e.rear);
        EXPECT_EQ(rear.width, 1280);
        EXPECT_EQ(rear.height, 720);
    }
    const std::string event = fs::path(Expected()[1].path).filename().string();
    EXPECT_EQ(event[3], 'G');
}

// ffprobe reads every packet of every file's video stream without a
// complaint: the added records leave the containers whole.
TEST_F(SampleCardEndToEnd, FfprobeReadsEveryVideoStreamToTheEnd) {
    for (const auto& entry : fs::recursive_directory_iterator(s_card)) {
        if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.')
            continue;
        SCOPED_TRACE(entry.path().string());
        const CommandResult probe =
            RunCommand("ffprobe -v error -select_streams v:0 -count_packets -show_entries "
                       "stream=codec_name,width,height,nb_read_packets -of csv=p=0 " +
                       Quoted(entry.path().string()) + " 2>&1");
        EXPECT_EQ(probe.status, 0);
        const std::regex line("h264,(1920,1080|1280,720),600\n");
        EXPECT_TRUE(std::regex_match(probe.out, line)) << probe.out;
    }
}

} // namespace
} // namespace kolvex
