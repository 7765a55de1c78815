// Adding the camera's records to encoder-written files: the reader must find
// them, the container must stay well formed, and no media byte may move.
#include "record_injector.h"

#include "fixtures/camera_file_writer.h"
#include "tracks/kolvex_3gp_parser.h"
#include "tracks/kolvex_avi_parser.h"
#include "tracks/track_math.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace kolvex::samplecard {
namespace {

using fixtures::Bytes;
namespace fs = std::filesystem;

class RecordInjectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("kolvex-injector-" + std::to_string(getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = (m_folder / name).string();
        EXPECT_TRUE(fixtures::WriteFile(path, bytes));
        return path;
    }

    fs::path m_folder;
};

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

uint32_t BE32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
           uint32_t(b[at + 3]);
}

uint32_t LE32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

struct Box {
    std::string type;
    size_t position;
    uint32_t size;
};

// The top-level boxes; fails the test unless they tile the file exactly.
std::vector<Box> TopLevel(const Bytes& file) {
    std::vector<Box> boxes;
    size_t p = 0;
    while (p + 8 <= file.size()) {
        const uint32_t size = BE32(file, p);
        boxes.push_back(
            {std::string(file.begin() + long(p) + 4, file.begin() + long(p) + 8), p, size});
        if (size < 8)
            break;
        p += size;
    }
    EXPECT_EQ(p, file.size()) << "the boxes do not end where the file ends";
    return boxes;
}

// An encoder's file without any camera record: ftyp, mdat, moov.
fixtures::CameraRecording PlainRecording() {
    fixtures::CameraRecording r;
    r.width = 1280;
    r.height = 720;
    r.durationMs = 20000;
    r.writeGps = false;
    r.writeGsensor = false;
    r.gpsInfo.reset();
    r.gsensorInfo.reset();
    return r;
}

// Ten samples a second, the first two before the receiver had its fix: the
// start time comes out right only when the rate record precedes the block.
CameraRecords TenHertzRecords() {
    std::vector<fixtures::GpsRecord> gps(40);
    for (size_t i = 2; i < gps.size(); ++i)
        gps[i] = fixtures::DatedSample(2026, 5, 14, 8, 47, static_cast<int>(10 + i / 10));
    CameraRecords records;
    records.gpsInfo = fixtures::InfoRecord(10);
    records.gsensorInfo = fixtures::InfoRecord(10, 2);
    records.gpsBlock = fixtures::GpsBlock(gps);
    records.gsensorBlock = fixtures::GSensorBlock(std::vector<fixtures::GSensorRecord>(40));
    return records;
}

int64_t Local(int year, int month, int day, int hour, int minute, int second) {
    int64_t epoch = 0;
    EXPECT_TRUE(LocalTimeToEpoch(year, month, day, hour, minute, second, epoch));
    return epoch;
}

template <typename Parser> VideoMetaInfo Parse(const std::string& path) {
    VideoMetaInfo meta{};
    Parser parser;
    parser.SetResultRecord(&meta);
    EXPECT_EQ(parser.Parse(path), 0) << path;
    return meta;
}

TEST_F(RecordInjectorTest, IsoRecordsAreFoundAndTheMediaDoesNotMove) {
    for (const bool insideMovie : {false, true}) {
        SCOPED_TRACE(insideMovie ? "inside moov" : "top level");
        const Bytes original = fixtures::BuildMp4(PlainRecording());
        const std::string path = Write("clip.mp4", original);
        const Box moov = TopLevel(original).back();
        ASSERT_EQ(moov.type, "moov");

        AddRecordsToIsoFile(path, TenHertzRecords(), insideMovie);

        const Bytes result = ReadAll(path);
        const std::vector<Box> boxes = TopLevel(result);
        // Only the size field of "moov" may change, and only when the
        // records went inside it.
        Bytes head(result.begin(), result.begin() + long(original.size()));
        if (insideMovie) {
            EXPECT_EQ(boxes.back().type, "moov");
            EXPECT_EQ(BE32(result, moov.position), result.size() - moov.position);
            fixtures::PatchBE32(head, moov.position, moov.size);
        } else {
            std::vector<std::string> added;
            for (size_t i = boxes.size() - 4; i < boxes.size(); ++i)
                added.push_back(boxes[i].type);
            EXPECT_EQ(added, (std::vector<std::string>{"gpsa", "gsea", "gps0", "gsen"}));
        }
        EXPECT_EQ(head, original);

        const VideoMetaInfo meta = Parse<CKolvex3gpParser>(path);
        EXPECT_EQ(meta.width, 1280);
        EXPECT_EQ(meta.height, 720);
        EXPECT_EQ(meta.durationMs, 20000u);
        EXPECT_EQ(meta.gpsSize, 40u * 32);
        EXPECT_EQ(meta.gsensorSize, 40u * 3);
        EXPECT_GE(meta.gpsOffset, original.size());
        EXPECT_EQ(meta.gpsInfo[0], 10);
        EXPECT_EQ(meta.gsensorInfo[1], 2);
        // Sample 2 carries 08:47:10 and lies 2/10 s (0 whole seconds) in.
        EXPECT_EQ(meta.startTime, Local(2026, 5, 14, 8, 47, 10));
    }
}

TEST_F(RecordInjectorTest, AviRecordsGrowTheRiffListAndTheTextDateGivesTheStart) {
    const Bytes original = fixtures::BuildAvi(PlainRecording());
    const std::string path = Write("MOVA0060.AVI", original);
    CameraRecords records = TenHertzRecords();
    records.textDate = "2026-05-14 17:45:00"; // 19 characters: must not leave an odd size

    AddRecordsToAviFile(path, records);

    const Bytes result = ReadAll(path);
    EXPECT_EQ(LE32(result, 4), result.size() - 8);
    EXPECT_TRUE(std::equal(original.begin() + 8, original.end(), result.begin() + 8));
    const VideoMetaInfo meta = Parse<CKolvexAviParser>(path);
    EXPECT_EQ(meta.startTime, Local(2026, 5, 14, 17, 45, 0));
    EXPECT_EQ(meta.gpsSize, 40u * 32);
    EXPECT_EQ(meta.gsensorSize, 40u * 3);
    EXPECT_EQ(meta.gpsInfo[0], 10);
    EXPECT_EQ(meta.fileLength, result.size());
}

// A refused file is left exactly as it was.
TEST_F(RecordInjectorTest, RefusesFilesItCannotExtendAndLeavesThemAlone) {
    fixtures::CameraRecording topLevelTail = PlainRecording();
    topLevelTail.textDate = "2026-05-14 08:00:00"; // a box after "moov"
    Bytes cutAvi = fixtures::BuildAvi(PlainRecording());
    cutAvi.resize(cutAvi.size() - 10);
    CameraRecords oddGsensor;
    oddGsensor.gsensorBlock = fixtures::GSensorBlock(std::vector<fixtures::GSensorRecord>(3));

    struct Case {
        const char* what;
        Bytes file;
        bool avi;
        bool insideMovie;
        CameraRecords records;
    };
    const std::vector<Case> cases = {
        {"not an ISO file", fixtures::BuildAvi(PlainRecording()), false, false, TenHertzRecords()},
        {"moov is not the last box", fixtures::BuildMp4(topLevelTail), false, true,
         TenHertzRecords()},
        {"not an AVI file", fixtures::BuildMp4(PlainRecording()), true, false, TenHertzRecords()},
        {"a cut AVI file", cutAvi, true, false, TenHertzRecords()},
        {"an odd-sized AVI record", fixtures::BuildAvi(PlainRecording()), true, false, oddGsensor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Write("refused", c.file);
        if (c.avi)
            EXPECT_ANY_THROW(AddRecordsToAviFile(path, c.records));
        else
            EXPECT_ANY_THROW(AddRecordsToIsoFile(path, c.records, c.insideMovie));
        EXPECT_EQ(ReadAll(path), c.file);
    }
}

} // namespace
} // namespace kolvex::samplecard
