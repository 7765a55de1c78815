// What both parsers report for a whole camera recording, wherever the camera
// put its records, and what a failed parse leaves behind.
#include "parse_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;
using testing::Container;

struct Layout {
    Container container;
    RecordPlace place;
    const char* name;
};

void PrintTo(const Layout& layout, std::ostream* os) {
    *os << layout.name;
}

class RecordingParseTest : public ::testing::TestWithParam<Layout> {};

CameraRecording TypicalRecording() {
    CameraRecording r;
    r.width = 1280;
    r.height = 720;
    r.durationMs = 60000;
    r.gps = Drive(600, 10, 2015, 6, 1, 12, 0, 0);
    r.gpsInfo = InfoRecord(10, 0xA1, 0xB2, 0xC3);
    r.gsensor = {{1, -2, 64}, {-128, 127, 0}};
    r.gsensorInfo = InfoRecord(10, 8, 0x7F, 0xFF);
    r.mediaBytes = 100000;
    return r;
}

TEST_P(RecordingParseTest, ReportsEveryField) {
    const Layout layout = GetParam();
    CameraRecording r = TypicalRecording();
    r.place = layout.place;
    const Bytes bytes = testing::Build(r, layout.container);

    const auto out = testing::ParseBytes(bytes, layout.container, testing::Sentinel());

    ASSERT_EQ(out.result, 0);
    VideoMetaInfo expected;
    expected.gpsOffset = testing::DataOffset(bytes, "gps0", layout.container);
    expected.gpsSize = 600 * 32;
    expected.gsensorOffset = testing::DataOffset(bytes, "gsen", layout.container);
    expected.gsensorSize = 6;
    expected.width = 1280;
    expected.height = 720;
    expected.startTime = 1433152800; // 2015-06-01 12:00:00 in Berlin (summer time)
    expected.durationSec = 60;
    expected.durationMs = 60000;
    expected.fileLength = bytes.size();
    expected.gpsInfo = {10, 0xA1, 0xB2, 0xC3};
    expected.gsensorInfo = {10, 8, 0x7F, 0xFF};
    EXPECT_EQ(out.meta, expected);
}

TEST_P(RecordingParseTest, NoCameraRecordsIsNoFailure) {
    const Layout layout = GetParam();
    CameraRecording r;
    r.place = layout.place;
    r.writeGps = r.writeGsensor = false;
    r.gpsInfo.reset();
    r.gsensorInfo.reset();
    const Bytes bytes = testing::Build(r, layout.container);

    const auto out = testing::ParseBytes(bytes, layout.container);

    ASSERT_EQ(out.result, 0);
    VideoMetaInfo expected;
    expected.width = 1920;
    expected.height = 1080;
    expected.durationMs = 60000;
    expected.durationSec = 60;
    expected.fileLength = bytes.size();
    EXPECT_EQ(out.meta, expected);
}

TEST_P(RecordingParseTest, NeverReadsTheMediaData) {
    const Layout layout = GetParam();
    CameraRecording r = TypicalRecording();
    r.place = layout.place;
    r.mediaBytes = 50'000'000; // a hole on disk
    testing::TempDir dir;
    const std::string path = dir.File("BIG");
    ASSERT_TRUE((layout.container == Container::Avi ? AviImage(r) : Mp4Image(r)).Write(path));

    const auto out = testing::ParseFile(path, layout.container);

    ASSERT_EQ(out.result, 0);
    EXPECT_LT(out.io.bytesRead, 8192u);
    EXPECT_LT(out.io.readCalls, 40u);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RecordingParseTest,
    ::testing::Values(Layout{Container::Mp4, RecordPlace::TopLevelAfterMedia, "Mp4TopLevel"},
                      Layout{Container::Mp4, RecordPlace::InsideMovie, "Mp4InsideMoov"},
                      Layout{Container::Avi, RecordPlace::TopLevelAfterMedia, "AviTopLevel"},
                      Layout{Container::Avi, RecordPlace::InsideMovie, "AviInsideHdrl"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Failure {
    const char* name;
    Container container;
    Bytes bytes;
};

void PrintTo(const Failure& failure, std::ostream* os) {
    *os << failure.name;
}

class FailedParseTest : public ::testing::TestWithParam<Failure> {};

TEST_P(FailedParseTest, ReturnsMinusOneAndLeavesTheRecord) {
    const auto out =
        testing::ParseBytes(GetParam().bytes, GetParam().container, testing::Sentinel());
    EXPECT_EQ(out.result, -1);
    EXPECT_EQ(out.meta, testing::Sentinel());
}

Bytes Mp4With(const IsoBox& first) {
    Bytes b = first.Serialize();
    Append(b, BuildMp4(CameraRecording{}));
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, FailedParseTest,
    ::testing::Values(Failure{"EmptyMp4", Container::Mp4, {}},
                      Failure{"EmptyAvi", Container::Avi, {}},
                      Failure{"FreeBoxBeforeFtyp", Container::Mp4, Mp4With(IsoBox("free"))},
                      Failure{"WideBoxBeforeFtyp", Container::Mp4, Mp4With(IsoBox("wide"))},
                      Failure{"AviGivenToMp4Parser", Container::Mp4, BuildAvi(CameraRecording{})},
                      Failure{"Mp4GivenToAviParser", Container::Avi, BuildMp4(CameraRecording{})},
                      Failure{"LowerCaseRiff", Container::Avi,
                              [] {
                                  Bytes b = BuildAvi(CameraRecording{});
                                  b[0] = 'r';
                                  return b;
                              }()},
                      Failure{"FtypOnly", Container::Mp4, Ftyp().Serialize()},
                      Failure{"RiffHeaderOnly", Container::Avi, RiffFile().Serialize()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParserFrameTest, MissingFileFailsAndFolderFails) {
    testing::TempDir dir;
    for (Container c : {Container::Mp4, Container::Avi}) {
        EXPECT_EQ(testing::ParseFile(dir.File("absent.MP4"), c, testing::Sentinel()).result, -1);
        EXPECT_EQ(testing::ParseFile(dir.File(""), c).result, -1);
    }
}

TEST(ParserFrameTest, ReportsTheFileStatusWithTheOwnerWriteBitAsLock) {
    testing::TempDir dir;
    const std::string path = dir.File("LOCKED.MP4");
    ASSERT_TRUE(WriteFile(path, BuildMp4(CameraRecording{})));
    for (mode_t mode : {0644, 0444, 0244}) {
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        FileStatus status;
        CKolvex3gpParser parser;
        parser.SetFileStatus(&status);
        EXPECT_EQ(parser.Parse(path), 0); // no result record: still parses
        EXPECT_EQ(status.readOnly, (mode & S_IWUSR) == 0) << std::oct << mode;
        EXPECT_EQ(status.fullName, path);
        EXPECT_GT(status.size, 0u);
    }
}

TEST(ParserFrameTest, BaseParserSucceedsWithoutTouchingTheRecord) {
    VideoMetaInfo meta = testing::Sentinel();
    CKolvexVideoParser parser;
    parser.SetResultRecord(&meta);
    EXPECT_EQ(parser.Parse("/nonexistent"), 0);
    EXPECT_EQ(meta, testing::Sentinel());
}

TEST(ParserFrameTest, AParserCanBeUsedAgainWithoutCarryingState) {
    testing::TempDir dir;
    CameraRecording withGps = TypicalRecording();
    CameraRecording plain;
    plain.writeGps = plain.writeGsensor = false;
    plain.gpsInfo.reset();
    plain.gsensorInfo.reset();
    ASSERT_TRUE(WriteFile(dir.File("a.MP4"), BuildMp4(withGps)));
    ASSERT_TRUE(WriteFile(dir.File("b.MP4"), BuildMp4(plain)));
    CKolvex3gpParser parser;
    VideoMetaInfo first, second;
    parser.SetResultRecord(&first);
    ASSERT_EQ(parser.Parse(dir.File("a.MP4")), 0);
    parser.SetResultRecord(&second);
    ASSERT_EQ(parser.Parse(dir.File("b.MP4")), 0);
    EXPECT_EQ(second.gpsSize, 0u);
    EXPECT_EQ(second.startTime, 0);
    EXPECT_EQ(second.gpsInfo, (std::array<uint8_t, 4>{}));
}

} // namespace
} // namespace kolvex
