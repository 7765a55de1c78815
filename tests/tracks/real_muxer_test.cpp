// The reader on files written by a real muxer (ffmpeg, encoded at test
// time) with the camera's records appended as the camera does: the boxes and
// chunks a real writer adds (edts, sgpd, odml, INFO, JUNK, padded chunks)
// must not confuse the walk.
#include "parse_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;
using testing::Container;

bool HaveFfmpeg() {
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

Bytes Encode(const testing::TempDir& dir, const std::string& name) {
    const std::string path = dir.File(name);
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=640x360:rate=30 "
        "-f lavfi -i sine=frequency=440:sample_rate=16000 -t 3 -c:v libx264 -preset ultrafast "
        "-pix_fmt yuv420p -c:a aac -shortest '" +
        path + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(RealMuxerTest, CameraRecordsAppendedToEncodedClipsAreFound) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    testing::TempDir dir;
    const auto gps = Drive(30, 10, 2015, 6, 1, 12, 0, 0);
    const std::vector<GSensorRecord> gsensor(30, GSensorRecord{1, 2, 3});
    for (const char* name : {"CLIP.MP4", "CLIP.MOV", "CLIP.AVI"}) {
        const Container container =
            std::string(name).ends_with(".AVI") ? Container::Avi : Container::Mp4;
        Bytes bytes = Encode(dir, name);
        ASSERT_FALSE(bytes.empty()) << name;
        const size_t clipSize = bytes.size();
        auto record = [&](const char* code, const Bytes& data) {
            Append(bytes, container == Container::Avi ? RiffChunk(code, data).Serialize()
                                                      : IsoBox(code).Add(data).Serialize());
        };
        record("gpsa", InfoRecord(10));
        record("gsea", InfoRecord(10, 8));
        record("gps0", GpsBlock(gps));
        record("gsen", GSensorBlock(gsensor));
        if (container == Container::Avi)
            PatchLE32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));

        const auto out = testing::ParseBytes(bytes, container);

        ASSERT_EQ(out.result, 0) << name;
        EXPECT_EQ(out.meta.width, 640) << name;
        EXPECT_EQ(out.meta.height, 360) << name;
        EXPECT_NEAR(out.meta.durationMs, 3000, 100) << name; // muxers round to frames
        EXPECT_EQ(out.meta.startTime, 1433152800) << name;
        EXPECT_EQ(out.meta.gpsSize, 30u * 32) << name;
        EXPECT_EQ(out.meta.gsensorSize, 90u) << name;
        EXPECT_GT(out.meta.gpsOffset, clipSize) << name;
        EXPECT_EQ(out.meta.gpsInfo[0], 10) << name;
        EXPECT_EQ(out.meta.gsensorInfo[1], 8) << name;
        EXPECT_LT(out.io.bytesRead, 8192u) << name;
    }
}

} // namespace
} // namespace kolvex
