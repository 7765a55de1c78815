// The recording's start time: from a text date, else from the first dated
// GPS sample moved back by its place in the block, as local time (the tests
// run in Europe/Berlin, see the CMake registration).
#include "parse_helpers.h"

#include <gtest/gtest.h>

#include <optional>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;
using testing::Container;

// 2015-06-01 12:00:00 in Berlin (summer time).
constexpr int64_t kJune1Noon = 1433152800;

std::vector<GpsRecord> UndatedThenDated(size_t undated, int second) {
    std::vector<GpsRecord> samples(undated);
    samples.push_back(DatedSample(2015, 6, 1, 12, 0, second));
    return samples;
}

struct GpsCase {
    const char* name;
    std::optional<uint8_t> rateBefore; // "gpsa" before the block
    std::optional<uint8_t> rateAfter;  // "gpsa" after the block
    std::vector<GpsRecord> samples;
    int64_t startTime;
};
void PrintTo(const GpsCase& c, std::ostream* os) {
    *os << c.name;
}

class GpsStartTimeTest : public ::testing::TestWithParam<std::tuple<Container, GpsCase>> {};

TEST_P(GpsStartTimeTest, FirstDatedSampleMovedBackByItsIndex) {
    const auto& [container, c] = GetParam();
    CameraRecording r;
    r.gpsInfo.reset();
    r.gps = c.samples;
    std::vector<Bytes> records;
    r.writeGps = false;
    Bytes bytes = testing::Build(r, container);
    auto record = [&](const char* code, const Bytes& data) {
        return container == Container::Avi ? RiffChunk(code, data).Serialize()
                                           : IsoBox(code).Add(data).Serialize();
    };
    if (c.rateBefore)
        Append(bytes, record("gpsa", InfoRecord(*c.rateBefore)));
    Append(bytes, record("gps0", GpsBlock(c.samples)));
    if (c.rateAfter)
        Append(bytes, record("gpsa", InfoRecord(*c.rateAfter)));
    if (container == Container::Avi)
        PatchLE32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));

    const auto out = testing::ParseBytes(bytes, container);

    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.startTime, c.startTime);
}

std::vector<GpsRecord> WithBadDates() {
    std::vector<GpsRecord> s(5);
    s[0] = DatedSample(2015, 13, 1, 12, 0, 0); // month 13
    s[1] = DatedSample(2015, 6, 0, 12, 0, 0);  // day 0
    s[2] = DatedSample(2015, 6, 1, 24, 0, 0);  // hour 24
    s[3] = DatedSample(2015, 6, 1, 12, 60, 0); // minute 60
    s[4] = DatedSample(2015, 6, 1, 12, 0, 9);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GpsStartTimeTest,
    ::testing::Combine(
        ::testing::Values(Container::Mp4, Container::Avi),
        ::testing::Values(
            GpsCase{"RateOne", 1, {}, UndatedThenDated(2, 10), kJune1Noon + 8},
            GpsCase{"RateTenWholeSecondsOnly", 10, {}, UndatedThenDated(2, 10), kJune1Noon + 10},
            GpsCase{"RateTenTwelfthSample", 10, {}, UndatedThenDated(12, 10), kJune1Noon + 9},
            GpsCase{"RateZeroCountsAsOne", 0, {}, UndatedThenDated(2, 10), kJune1Noon + 8},
            GpsCase{
                "RateAfterTheBlockDoesNotCount", {}, 10, UndatedThenDated(2, 10), kJune1Noon + 8},
            GpsCase{"InvalidDatesAreSkipped", 1, {}, WithBadDates(), kJune1Noon + 9 - 4},
            GpsCase{"NoDatedSample", 1, {}, std::vector<GpsRecord>(5), 0},
            GpsCase{"FirstDatedSampleWins",
                    1,
                    {},
                    {DatedSample(2015, 6, 1, 12, 0, 0), DatedSample(2016, 1, 1, 0, 0, 0)},
                    kJune1Noon},
            GpsCase{"LastSampleOfLongBlock", 1, {}, UndatedThenDated(5000, 0), kJune1Noon - 5000})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == Container::Avi ? "Avi" : "Mp4") +
               std::get<1>(info.param).name;
    });

// Records placed one after another at the top level of an MP4 file.
testing::ParseOutcome ParseMp4Records(std::initializer_list<IsoBox> records) {
    CameraRecording r;
    r.writeGps = r.writeGsensor = false;
    Bytes bytes = BuildMp4(r);
    for (const auto& box : records)
        Append(bytes, box.Serialize());
    return testing::ParseBytes(bytes, Container::Mp4);
}

IsoBox Idit(const std::string& text) {
    return IsoBox("IDIT").Add(TextDate(text));
}
IsoBox Gps(std::vector<GpsRecord> samples) {
    return IsoBox("gps0").Add(GpsBlock(samples));
}

struct TextCase {
    const char* name;
    std::string text;
    int32_t result;
    int64_t startTime;
};
void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class TextDateTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextDateTest, ScansTheCameraFormatAsLocalTime) {
    const auto out = ParseMp4Records({Idit(GetParam().text)});
    ASSERT_EQ(out.result, GetParam().result);
    if (out.result == 0) {
        EXPECT_EQ(out.meta.startTime, GetParam().startTime);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextDateTest,
    ::testing::Values(TextCase{"SummerTime", "2015-06-01 12:00:00", 0, kJune1Noon},
                      TextCase{"WinterTime", "2015-01-15 12:00:00", 0, 1421319600},
                      TextCase{"TrailingNulAndNewline",
                               std::string("2015-06-01 12:00:00\n\0\0", 22), 0, kJune1Noon},
                      TextCase{"February31RollsIntoMarch", "2015-02-31 10:00:00", 0, 1425373200},
                      TextCase{"LeapDay", "2016-02-29 23:59:59", 0, 1456786799},
                      TextCase{"Month13", "2015-13-01 10:00:00", 0, 0},
                      TextCase{"NegativeDay", "2015-06--1 10:00:00", 0, 0},
                      TextCase{"Second60", "2015-06-01 10:00:60", 0, 0},
                      TextCase{"Year1899", "1899-06-01 10:00:00", 0, 0},
                      TextCase{"Garbage", "yesterday", 0, 0}, TextCase{"Empty", "", 0, 0},
                      TextCase{"UnreachedFieldsStayZero", "2015-06-01", 0, kJune1Noon - 12 * 3600},
                      TextCase{"CutTo63Bytes", std::string(48, ' ') + "2015-06-01 12:00:59", 0,
                               kJune1Noon},
                      TextCase{"Before1970InLocalTime", "1970-01-01 00:30:00", -1, 0},
                      TextCase{"Year1969", "1969-12-31 23:00:00", -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartTimeOrderTest, TextDateAndGpsSamplesOverrideEachOtherAsTheyAreMet) {
    const auto gpsDate = DatedSample(2016, 1, 1, 0, 0, 0);
    const int64_t gpsTime = 1451602800; // 2016-01-01 00:00:00 CET
    struct Case {
        const char* name;
        std::vector<IsoBox> records;
        int64_t startTime;
    } cases[] = {
        {"BadTextDateWithdrawsGpsStart", {Gps({gpsDate}), Idit("2015-13-01 10:00:00")}, 0},
        {"LaterValidTextDateReplacesGps",
         {Gps({gpsDate}), Idit("2015-06-01 12:00:00")},
         kJune1Noon},
        {"GpsAfterTextDateChangesNothing",
         {Idit("2015-06-01 12:00:00"), Gps({gpsDate})},
         kJune1Noon},
        {"GpsAfterBadTextDateGivesTheStart", {Idit("bad"), Gps({gpsDate})}, gpsTime},
        {"SecondGpsBlockDoesNotMoveTheStart",
         {Gps({gpsDate}), Gps({DatedSample(2015, 6, 1, 12, 0, 0)})},
         gpsTime},
    };
    for (const auto& c : cases) {
        CameraRecording r;
        r.writeGps = r.writeGsensor = false;
        Bytes bytes = BuildMp4(r);
        for (const auto& box : c.records)
            Append(bytes, box.Serialize());
        const auto out = testing::ParseBytes(bytes, Container::Mp4);
        ASSERT_EQ(out.result, 0) << c.name;
        EXPECT_EQ(out.meta.startTime, c.startTime) << c.name;
    }
}

TEST(StartTimeOrderTest, AviTextDateInsideTheHeaderList) {
    CameraRecording r;
    r.place = RecordPlace::InsideMovie;
    r.textDate = "2015-01-15 12:00:00";
    r.gps = {DatedSample(2016, 1, 1, 0, 0, 0)}; // met later: does not count
    const auto out = testing::ParseBytes(BuildAvi(r), Container::Avi);
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.startTime, 1421319600);
}

TEST(StartTimeOrderTest, StopsReadingTheGpsBlockOnceTheStartIsKnown) {
    CameraRecording r;
    r.gps = Drive(36000, 10, 2015, 6, 1, 12, 0, 0); // one hour at 10 Hz, 1.1 MB
    const auto out = testing::ParseBytes(BuildMp4(r), Container::Mp4);
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.meta.startTime, kJune1Noon);
    EXPECT_LT(out.io.bytesRead, 8192u);
}

} // namespace
} // namespace kolvex
