// A camera block that claims far more than a camera writes is no block: a
// recording of about 4 GiB (the FAT32 limit) with a "gps0" or "gsen" record
// claiming nearly all of it must not make a reader allocate or read that.
#include "parse_helpers.h"
#include "tracks/sample_decoding.h"

#include <gtest/gtest.h>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;
using testing::Container;

constexpr uint32_t kClaimed = 0xFFFFFFF0;

struct OversizedCase {
    const char* name;
    Container container;
    const char* code; // the record that claims kClaimed bytes
};

// A small valid recording followed by the oversized record and a hole, so
// that the record lies wholly inside a sparse file of about 4 GiB.
FileImage OversizedImage(const OversizedCase& c, uint64_t& dataOffset) {
    CameraRecording r;
    r.writeGps = false;
    r.writeGsensor = false;
    r.textDate = "2015-06-01 12:00:00";
    FileImage image = c.container == Container::Avi ? AviImage(r) : Mp4Image(r);
    Bytes header;
    if (c.container == Container::Avi) {
        PutText(header, c.code);
        PutLE32(header, kClaimed);
    } else {
        PutBE32(header, kClaimed + 8);
        PutText(header, c.code);
    }
    dataOffset = image.Size() + header.size();
    image.Append(header);
    image.Append(GpsSampleBytes(DatedSample(2015, 6, 1, 12, 0, 0)));
    image.AppendHole(kClaimed);
    return image;
}

TEST(OversizedBlockTest, IsNoBlockForTheParsersAndTheSampleReader) {
    const OversizedCase cases[] = {
        {"MP4 gps0", Container::Mp4, "gps0"},
        {"MP4 gsen", Container::Mp4, "gsen"},
        {"AVI gps0", Container::Avi, "gps0"},
        {"AVI gsen", Container::Avi, "gsen"},
    };
    for (const OversizedCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const std::string path = dir.File(c.container == Container::Avi ? "BIG.AVI" : "BIG.MP4");
        uint64_t dataOffset = 0;
        const FileImage image = OversizedImage(c, dataOffset);
        ASSERT_GT(image.Size(), uint64_t{kClaimed});
        ASSERT_TRUE(image.Write(path));

        const auto out = testing::ParseFile(path, c.container);
        ASSERT_EQ(out.result, 0); // still a recording, only without that block
        EXPECT_EQ(out.meta.gpsSize, 0u);
        EXPECT_EQ(out.meta.gsensorSize, 0u);
        EXPECT_EQ(out.meta.fileLength, image.Size());
        EXPECT_LT(out.io.bytesRead, uint64_t{1} << 20);

        // A caller that hands the claim on anyway gets no samples either.
        VideoMetaInfo forged = out.meta;
        forged.gpsOffset = forged.gsensorOffset = dataOffset;
        forged.gpsSize = forged.gsensorSize = kClaimed;
        std::vector<GpsSample> gps;
        std::vector<GSensorSample> gsensor;
        EXPECT_TRUE(ReadRecordingSamples(path, forged, gps, gsensor));
        EXPECT_TRUE(gps.empty());
        EXPECT_TRUE(gsensor.empty());
    }
}

TEST(OversizedBlockTest, TheLargestBlockACameraMayWriteIsStillRead) {
    // Exactly at the limit is a block; a sample more is none.
    for (const uint32_t size : {kMaxCameraBlockSize, kMaxCameraBlockSize + 32}) {
        SCOPED_TRACE(size);
        CameraRecording r;
        r.writeGsensor = false;
        r.gps = {DatedSample(2015, 6, 1, 12, 0, 0)};
        Bytes bytes = BuildMp4(r);
        const size_t box = testing::FindCode(bytes, "gps0") - 4;
        PatchBE32(bytes, box, size + 8);
        bytes.resize(box + 8 + size); // zeros after the first sample
        const auto out = testing::ParseBytes(bytes, Container::Mp4);
        ASSERT_EQ(out.result, 0);
        EXPECT_EQ(out.meta.gpsSize, size == kMaxCameraBlockSize ? size : 0u);
    }
}

} // namespace
} // namespace kolvex
