// The box walk of MP4/MOV/3GP files: where the camera's boxes are found,
// how the first track gives duration and picture size, and how broken or
// hostile sizes end the walk without over-reading.
#include "parse_helpers.h"

#include <gtest/gtest.h>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;
using testing::Container;

IsoBox Moov(const TrackSpec& track = {}) {
    IsoBox moov("moov");
    moov.Add(Mvhd(1000, 60000)).Add(Trak(track));
    return moov;
}

Bytes File(std::initializer_list<Bytes> boxes) {
    Bytes b = Ftyp().Serialize();
    for (const auto& box : boxes)
        Append(b, box);
    return b;
}

testing::ParseOutcome Parse(const Bytes& bytes) {
    return testing::ParseBytes(bytes, Container::Mp4);
}

Bytes Samples(size_t count, uint8_t speed) {
    std::vector<GpsRecord> samples(count);
    for (auto& s : samples)
        s.speed = speed;
    return GpsBlock(samples);
}

TEST(Mp4WalkTest, FindsCameraBoxesAtTopLevelAndInMoovButNotDeeper) {
    IsoBox udta("udta");
    udta.Add(IsoBox("gps0").Add(Samples(2, 1)));
    IsoBox moov = Moov();
    moov.Add(udta).Add(IsoBox("gsen").Add(Bytes(9, 1)));
    const Bytes bytes = File({moov.Serialize()});

    const auto out = Parse(bytes);

    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.gpsSize, 0u) << "a gps0 inside udta is not the camera's block";
    EXPECT_EQ(out.meta.gsensorOffset, testing::DataOffset(bytes, "gsen", Container::Mp4));
    EXPECT_EQ(out.meta.gsensorSize, 9u);
}

TEST(Mp4WalkTest, StepsOverWholeGpsSamplesOnly) {
    // A 100-byte block: three samples; the walk goes on at the 96th byte,
    // where the last four bytes of the block start the next box's header.
    Bytes gpsPayload = Samples(3, 7);
    const Bytes gsen = IsoBox("gsen").Add(Bytes(6, 2)).Serialize();
    Append(gpsPayload, Bytes(gsen.begin(), gsen.begin() + 4)); // the size field
    Bytes bytes = File({Moov().Serialize(), IsoBox("gps0").Add(gpsPayload).Serialize()});
    bytes.insert(bytes.end(), gsen.begin() + 4, gsen.end()); // "gsen" + payload

    const auto out = Parse(bytes);

    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.gpsSize, 100u);
    EXPECT_EQ(out.meta.gsensorSize, 6u);
    EXPECT_EQ(out.meta.gsensorOffset, out.meta.gpsOffset + 96 + 8);
}

TEST(Mp4WalkTest, LastOccurrenceWinsForBlocksAndInfoRecords) {
    const Bytes bytes = File({Moov().Serialize(), IsoBox("gpsa").Add(InfoRecord(1)).Serialize(),
                              IsoBox("gps0").Add(Samples(1, 1)).Serialize(),
                              IsoBox("gpsa").Add(InfoRecord(5, 6, 7, 8)).Serialize(),
                              IsoBox("gps0").Add(Samples(2, 2)).Serialize()});
    const auto out = Parse(bytes);
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.gpsSize, 64u);
    EXPECT_EQ(out.meta.gpsOffset, testing::FindCode(bytes, "gps0", 1) + 4);
    EXPECT_EQ(out.meta.gpsInfo, (std::array<uint8_t, 4>{5, 6, 7, 8}));
}

struct TrackCase {
    const char* name;
    IsoBox moov;
    int32_t result;
    uint32_t durationMs;
    uint16_t width, height;
};
void PrintTo(const TrackCase& c, std::ostream* os) {
    *os << c.name;
}

class Mp4TrackTest : public ::testing::TestWithParam<TrackCase> {};

TEST_P(Mp4TrackTest, TakesDurationAndPictureSizeFromTheFirstTrack) {
    const TrackCase& c = GetParam();
    const auto out = Parse(File({c.moov.Serialize()}));
    EXPECT_EQ(out.result, c.result);
    if (c.result == 0) {
        EXPECT_EQ(out.meta.durationMs, c.durationMs);
        EXPECT_EQ(out.meta.durationSec, c.durationMs / 1000);
        EXPECT_EQ(out.meta.width, c.width);
        EXPECT_EQ(out.meta.height, c.height);
    }
}

IsoBox MoovWithTracks(std::initializer_list<TrackSpec> tracks) {
    IsoBox moov("moov");
    moov.Add(Mvhd(1000, 1000));
    for (const auto& t : tracks)
        moov.Add(Trak(t));
    return moov;
}

IsoBox MoovWithStsd(const IsoBox& stsd, uint32_t timeScale = 1000, uint32_t duration = 5000) {
    IsoBox stbl("stbl");
    stbl.Add(stsd);
    IsoBox minf("minf");
    minf.Add(stbl);
    IsoBox mdia("mdia");
    mdia.Add(Mdhd(timeScale, duration)).Add(minf);
    IsoBox trak("trak");
    trak.Add(mdia);
    IsoBox moov("moov");
    moov.Add(trak);
    return moov;
}

IsoBox ShortAvc1() {
    Bytes p(27, 0);
    p[24] = 0x05; // width would be 0x0500 if the entry were long enough
    return IsoBox("avc1").Add(p);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Mp4TrackTest,
    ::testing::Values(
        TrackCase{"ThreeMinutesAt90kHz", MoovWithTracks({{1920, 1080, 90000, 16'200'000, "vide"}}),
                  0, 180000, 1920, 1080},
        TrackCase{"ProductBeyond32Bits", MoovWithTracks({{640, 480, 1000, 4'000'000'000u, "vide"}}),
                  0, 4'000'000'000u, 640, 480},
        TrackCase{"FractionTruncated", MoovWithTracks({{640, 480, 3, 1, "vide"}}), 0, 333, 640,
                  480},
        TrackCase{"ZeroTimeScale", MoovWithTracks({{1280, 720, 0, 5000, "vide"}}), -1, 0, 0, 0},
        TrackCase{"AudioTrackFirst",
                  MoovWithTracks({{0, 0, 16000, 160000, "soun"}, {1280, 720, 1000, 10000, "vide"}}),
                  -1, 0, 0, 0},
        TrackCase{"VideoTrackFirstThenAudio",
                  MoovWithTracks({{1280, 720, 1000, 10000, "vide"}, {0, 0, 16000, 1, "soun"}}), 0,
                  10000, 1280, 720},
        TrackCase{"NoEntriesInStsd", MoovWithStsd(Stsd({Avc1(1280, 720)}, 0)), -1, 0, 0, 0},
        TrackCase{"StsdWithAvc1", MoovWithStsd(Stsd({Avc1(800, 600)})), 0, 5000, 800, 600},
        TrackCase{"Avc1TooShort", MoovWithStsd(Stsd({ShortAvc1()})), -1, 0, 0, 0},
        TrackCase{"ZeroHeight", MoovWithStsd(Stsd({Avc1(800, 0)})), -1, 0, 0, 0},
        TrackCase{"NoMoovChildren", IsoBox("moov"), -1, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Mp4WalkTest, SizeBelowEightEndsTheWalkButKeepsWhatWasFound) {
    for (uint32_t size : {0u, 1u, 7u}) {
        const Bytes bytes = File({Moov().Serialize(), IsoBox("gsen").Add(Bytes(3, 1)).Serialize(),
                                  IsoBox("free").DeclaredSize(size).Serialize(),
                                  IsoBox("gps0").Add(Samples(1, 1)).Serialize()});
        const auto out = Parse(bytes);
        ASSERT_EQ(out.result, 0) << size;
        EXPECT_EQ(out.meta.gsensorSize, 3u) << size;
        EXPECT_EQ(out.meta.gpsSize, 0u) << size;
    }
}

TEST(Mp4WalkTest, HeaderCutByTheEndOfTheFileEndsTheWalk) {
    Bytes bytes = File({Moov().Serialize()});
    Append(bytes, {0, 0, 0, 40, 'g', 'p'}); // 6 of a header's 8 bytes
    EXPECT_EQ(Parse(bytes).result, 0);
}

TEST(Mp4WalkTest, RecordsClaimingMoreThanTheFileAreReadOnlyAsFarAsItGoes) {
    // A GPS block declaring 4 GB holds one dated sample before the file ends;
    // the start time comes from it, no more than the file is read, and the
    // block, larger than any camera writes, is not reported.
    const Bytes gps = GpsSampleBytes(DatedSample(2015, 6, 1, 12, 0, 8));
    const Bytes bytes =
        File({Moov().Serialize(), IsoBox("gps0").Add(gps).DeclaredSize(0xFFFFFFF0).Serialize()});
    const auto out = Parse(bytes);
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.gpsSize, 0u);
    EXPECT_EQ(out.meta.startTime, 1433152808);
    EXPECT_LE(out.io.bytesRead, bytes.size() * 2);
}

TEST(Mp4WalkTest, OversizedTextDateAndInfoRecordAtTheEnd) {
    const Bytes bytes = File(
        {Moov().Serialize(), IsoBox("gpsa").Add(InfoRecord(9, 9)).DeclaredSize(100).Serialize()});
    const auto withInfo = Parse(bytes);
    ASSERT_EQ(withInfo.result, 0);
    EXPECT_EQ(withInfo.meta.gpsInfo, (std::array<uint8_t, 4>{9, 9, 0, 0}));

    const Bytes dated = File(
        {Moov().Serialize(),
         IsoBox("IDIT").Add(TextDate("2015-06-01 12:00:00")).DeclaredSize(0x7FFFFFFF).Serialize()});
    const auto withDate = Parse(dated);
    ASSERT_EQ(withDate.result, 0);
    EXPECT_EQ(withDate.meta.startTime, 1433152800);
    EXPECT_LE(withDate.io.bytesRead, dated.size() * 2);
}

TEST(Mp4WalkTest, ChildSearchGivesUpAtItsLimit) {
    // The "mdia" of the first track lies beyond the "trak" payload length the
    // search is given, so it is not found even though it follows in the file.
    IsoBox trak("trak");
    trak.Add(IsoBox("tkhd").Add(Bytes(84, 0)));
    Bytes trakBytes = trak.Serialize();
    IsoBox mdia("mdia");
    IsoBox minf("minf");
    IsoBox stbl("stbl");
    stbl.Add(Stsd({Avc1(640, 480)}));
    minf.Add(stbl);
    mdia.Add(Mdhd(1000, 5000)).Add(minf);
    Append(trakBytes, mdia.Serialize()); // outside trak's declared size
    IsoBox moov("moov");
    moov.Add(trakBytes);
    EXPECT_EQ(Parse(File({moov.Serialize()})).result, -1);
}

} // namespace
} // namespace kolvex
