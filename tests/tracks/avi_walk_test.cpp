// The chunk walk of AVI files: header lists entered, other lists stepped
// over, unknown data scanned four bytes at a time, sizes used unpadded, and
// the movie list compared with the file's end.
#include "parse_helpers.h"

#include <gtest/gtest.h>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;
using testing::Container;

RiffList Hdrl(const RiffChunk& avih, const RiffChunk& strf, const std::string& stream = "vids") {
    RiffList strl("strl");
    strl.Add(Strh(stream, "H264", 1, 25, 100)).Add(strf);
    RiffList hdrl("hdrl");
    hdrl.Add(avih).Add(strl);
    return hdrl;
}

RiffList StandardHdrl() {
    return Hdrl(Avih(40000, 1500, 1920, 1080), StrfVideo(1920, 1080));
}

RiffList Movi(size_t bytes = 64) {
    return RiffList("movi").Add(Bytes(bytes, 0));
}

Bytes Avi(std::initializer_list<Bytes> items) {
    RiffList riff = RiffFile();
    for (const auto& item : items)
        riff.Add(item);
    return riff.Serialize();
}

testing::ParseOutcome Parse(const Bytes& bytes) {
    return testing::ParseBytes(bytes, Container::Avi);
}

struct DurationCase {
    uint32_t microsPerFrame, frames, durationMs;
    int64_t durationSec;
};

TEST(AviWalkTest, DurationFromTheMainHeaderWithoutOverflow) {
    const DurationCase cases[] = {
        {33333, 5400, 179998, 179},
        {33333, 200000, 6666600, 6666}, // the product needs more than 32 bits
        {40000, 1500, 60000, 60},
        {1, 999, 0, 0}, // under a millisecond: no duration, rejected
    };
    for (const auto& c : cases) {
        const auto out = Parse(
            Avi({Hdrl(Avih(c.microsPerFrame, c.frames, 0, 0), StrfVideo(640, 480)).Serialize(),
                 Movi().Serialize()}));
        if (c.durationMs == 0) {
            EXPECT_EQ(out.result, -1);
            continue;
        }
        ASSERT_EQ(out.result, 0) << c.frames;
        EXPECT_EQ(out.meta.durationMs, c.durationMs);
        EXPECT_EQ(out.meta.durationSec, c.durationSec);
    }
}

TEST(AviWalkTest, ShortMainHeaderIsReadAsFarAsItGoes) {
    Bytes avih44 = Avih(33333, 5400, 0, 0).Serialize();
    avih44.resize(8 + 44);
    PatchLE32(avih44, 4, 44);
    RiffList strl("strl");
    strl.Add(Strh("vids", "H264", 1, 25, 100)).Add(StrfVideo(640, 480));
    RiffList hdrl("hdrl");
    hdrl.Add(avih44).Add(strl);
    const auto out = Parse(Avi({hdrl.Serialize(), Movi().Serialize()}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.durationMs, 179998u);
}

TEST(AviWalkTest, PictureSizeTakesTheLow16BitsOfTheBitmapHeader) {
    struct Case {
        int32_t width, height;
        uint16_t w, h;
    } cases[] = {{1280, -720, 1280, 64816}, {1920, 1080, 1920, 1080}, {65536 + 640, 480, 640, 480}};
    for (const auto& c : cases) {
        const auto out =
            Parse(Avi({Hdrl(Avih(40000, 25, 0, 0), StrfVideo(c.width, c.height)).Serialize(),
                       Movi().Serialize()}));
        ASSERT_EQ(out.result, 0) << c.height;
        EXPECT_EQ(out.meta.width, c.w);
        EXPECT_EQ(out.meta.height, c.h);
    }
}

TEST(AviWalkTest, LongFormatChunkIsScannedAfterItsFirst40Bytes) {
    // A 1,064-byte "strf": the rest after 40 bytes is passed 4 bytes at a
    // time, so a "gsea" hidden in it at a 4-byte step is met by the walk.
    Bytes strf = StrfVideo(800, 600).Serialize();
    Bytes tail(1024, 0);
    const Bytes hidden = RiffChunk("gsea", InfoRecord(10, 8, 1, 2)).Serialize();
    std::copy(hidden.begin(), hidden.end(), tail.begin() + 100);
    Append(strf, tail);
    PatchLE32(strf, 4, 1064);
    RiffList strl("strl");
    strl.Add(Strh("vids", "H264", 1, 25, 100)).Add(strf);
    RiffList hdrl("hdrl");
    hdrl.Add(Avih(40000, 25, 0, 0)).Add(strl);

    const auto out = Parse(Avi({hdrl.Serialize(), Movi().Serialize()}));

    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.width, 800);
    EXPECT_EQ(out.meta.height, 600);
    EXPECT_EQ(out.meta.gsensorInfo, (std::array<uint8_t, 4>{10, 8, 1, 2}));
}

TEST(AviWalkTest, AudioStreamFormatIsSteppedOver) {
    RiffList audio("strl");
    // An audio format whose data would read as a "gsea" chunk if it were scanned.
    audio.Add(Strh("auds", std::string(4, '\0'), 1, 16000, 100))
        .Add(RiffChunk("strf", RiffChunk("gsea", InfoRecord(99)).Serialize()));
    RiffList hdrl = StandardHdrl();
    hdrl.Add(audio);
    const auto out = Parse(Avi({hdrl.Serialize(), Movi().Serialize()}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.gsensorInfo[0], 0);
    EXPECT_EQ(out.meta.width, 1920);
}

TEST(AviWalkTest, ChunksInsideInfoAndMoviListsAreNeverSeen) {
    RiffList info("INFO");
    info.Add(RiffChunk("IDIT", TextDate("2015-06-01 12:00:00")));
    RiffList movi("movi");
    movi.Add(RiffChunk("gps0", GpsBlock({DatedSample(2016, 1, 1, 0, 0, 0)})));
    const auto out = Parse(Avi({StandardHdrl().Serialize(), info.Serialize(), movi.Serialize()}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.startTime, 0);
    EXPECT_EQ(out.meta.gpsSize, 0u);
}

TEST(AviWalkTest, OddSizesAreUsedWithoutPadding) {
    // "JUNK" of 11 bytes: the walk goes on 11 bytes after the size field. A
    // writer that pads puts "gps0" one byte later, where it is not recognised.
    const Bytes gps = RiffChunk("gps0", GpsBlock({GpsRecord{}})).Serialize();
    const auto unpadded = Parse(Avi({StandardHdrl().Serialize(), Movi().Serialize(),
                                     RiffChunk("JUNK", Bytes(11, 0)).Serialize(), gps}));
    ASSERT_EQ(unpadded.result, 0);
    EXPECT_EQ(unpadded.meta.gpsSize, 32u);

    const auto padded = Parse(Avi({StandardHdrl().Serialize(), Movi().Serialize(),
                                   RiffChunk("JUNK", Bytes(11, 0)).Pad().Serialize(), gps}));
    ASSERT_EQ(padded.result, 0);
    EXPECT_EQ(padded.meta.gpsSize, 0u);
}

TEST(AviWalkTest, WalksBlocksAndRecordsAfterTheIndex) {
    const Bytes bytes = Avi(
        {StandardHdrl().Serialize(), Movi().Serialize(),
         RiffChunk("idx1", Bytes(32, 0)).Serialize(), RiffChunk("gpsa", InfoRecord(10)).Serialize(),
         RiffChunk("gps0", GpsBlock(std::vector<GpsRecord>(3))).Add({1, 2, 3}).Serialize(),
         RiffChunk("gsen", Bytes(7, 1)).Serialize(),
         RiffChunk("gsea", InfoRecord(10, 4)).Serialize()});
    const auto out = Parse(bytes);
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.gpsSize, 99u);
    // The walk stepped over 96 bytes of the block only and then scanned the
    // remaining 3 bytes + "gsen" misaligned: it does not see "gsen".
    EXPECT_EQ(out.meta.gsensorSize, 0u);
    EXPECT_EQ(out.meta.gpsInfo[0], 10);
}

TEST(AviWalkTest, GSensorBlockStepsOverWholeSamples) {
    Bytes gsen = RiffChunk("gsen", Bytes(7, 1)).Serialize();
    gsen.resize(gsen.size() - 1); // the 7th byte is where the next tag starts
    Bytes next = RiffChunk("gsea", InfoRecord(25, 16)).Serialize();
    const Bytes bytes = Avi({StandardHdrl().Serialize(), Movi().Serialize(), gsen, next});
    const auto out = Parse(bytes);
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.gsensorSize, 7u);
    EXPECT_EQ(out.meta.gsensorInfo, (std::array<uint8_t, 4>{25, 16, 0, 0}));
}

struct RejectCase {
    const char* name;
    Bytes bytes;
};
void PrintTo(const RejectCase& c, std::ostream* os) {
    *os << c.name;
}

class AviRejectTest : public ::testing::TestWithParam<RejectCase> {};

TEST_P(AviRejectTest, Fails) {
    EXPECT_EQ(Parse(GetParam().bytes).result, -1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AviRejectTest,
    ::testing::Values(
        RejectCase{"MoviBeyondTheEnd",
                   Avi({StandardHdrl().Serialize(), Movi().DeclaredSize(100'000'000).Serialize()})},
        RejectCase{"NoMainHeader",
                   [] {
                       RiffList strl("strl");
                       strl.Add(Strh("vids", "H264", 1, 25, 100)).Add(StrfVideo(640, 480));
                       return Avi({RiffList("hdrl").Add(strl).Serialize(), Movi().Serialize()});
                   }()},
        RejectCase{"ZeroFrames", Avi({Hdrl(Avih(40000, 0, 0, 0), StrfVideo(640, 480)).Serialize(),
                                      Movi().Serialize()})},
        RejectCase{"NoVideoFormat",
                   Avi({Hdrl(Avih(40000, 25, 0, 0), StrfAudio(), "auds").Serialize(),
                        Movi().Serialize()})},
        RejectCase{"ZeroWidth", Avi({Hdrl(Avih(40000, 25, 0, 0), StrfVideo(0, 480)).Serialize(),
                                     Movi().Serialize()})},
        RejectCase{"HeaderListSteppedOverAsUnknownType",
                   [] {
                       Bytes hdrl = StandardHdrl().Serialize();
                       std::copy_n("HDRL", 4, hdrl.begin() + 8); // case matters
                       return Avi({hdrl, Movi().Serialize()});
                   }()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AviWalkTest, MoviEndingExactlyAtTheFileEndIsAccepted) {
    const auto out = Parse(Avi({StandardHdrl().Serialize(), Movi(100).Serialize()}));
    EXPECT_EQ(out.result, 0);
}

TEST(AviWalkTest, TruncatedTailEndsTheWalkQuietly) {
    for (size_t cut = 1; cut <= 7; ++cut) {
        Bytes bytes = Avi({StandardHdrl().Serialize(), Movi().Serialize(),
                           RiffChunk("gsen", Bytes(3, 1)).Serialize()});
        bytes.resize(bytes.size() - 3 - 8 + (8 - cut)); // the gsen header loses `cut` bytes
        const auto out = Parse(bytes);
        EXPECT_EQ(out.result, 0) << cut;
        EXPECT_EQ(out.meta.gsensorSize, 0u) << cut;
    }
}

} // namespace
} // namespace kolvex
