// The library's driving events and trip figures: per recording from its
// file, for the current recording from the blocks already read, and added
// up per group.
#include "loaded_library.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvex::testing {
namespace {

using fixtures::GSensorRecord;

// 20 s at 10 Hz (scale 8: one raw unit is 1/16 G), steady at 1 G up, with
// a stretch of `value` on x from `from` for `count` samples.
std::vector<GSensorRecord> Sensor(int from, int count, int8_t x, int8_t z) {
    std::vector<GSensorRecord> samples(200, GSensorRecord{0, 0, 16});
    for (int i = from; i < from + count; ++i)
        samples[static_cast<size_t>(i)] = {x, 0, z};
    return samples;
}

fixtures::CameraRecording WithBlocks(const std::string& start) {
    auto recording = RecordingAt(start, 20000);
    recording.writeGps = true;
    recording.writeGsensor = true;
    return recording;
}

// Two consecutive recordings of one drive (a panic stop in the second) and,
// later, a parked car whose door is slammed.
struct ReviewCard {
    TempCard card;
    ReviewCard() {
        auto first = WithBlocks("2026-05-14 08:00:00");
        first.gps = fixtures::Drive(20, 1, 2026, 5, 14, 8, 0, 0, 36); // 10 m a second
        first.gsensor = Sensor(0, 0, 0, 16);
        auto second = WithBlocks("2026-05-14 08:00:20");
        second.gps = fixtures::Drive(20, 1, 2026, 5, 14, 8, 0, 20, 72);
        second.gsensor = Sensor(50, 15, -13, 16); // -0.81 G for 1.5 s from 5 s
        auto parked = WithBlocks("2026-05-14 12:00:00");
        parked.gsensor = Sensor(120, 1, 0, 26); // +0.6 G for one sample at 12 s
        card.AddRecording("DCIM/MOVA0001.MP4", first);
        card.AddRecording("DCIM/MOVA0002.MP4", second);
        card.AddRecording("DCIM/MOVA0003.MP4", parked);
    }
};

TEST(RecordingReview, EventsAndFiguresPerRecordingAndGroup) {
    ReviewCard c;
    Library lib;
    lib.Load(c.card);
    ASSERT_EQ(lib.manager.Groups().size(), 2u);
    const EventThresholds defaults;

    RecordingAnalysis first, second, parked;
    ASSERT_TRUE(lib.manager.AnalyseEntry(0, defaults, first));
    ASSERT_TRUE(lib.manager.AnalyseEntry(1, defaults, second));
    ASSERT_TRUE(lib.manager.AnalyseEntry(2, defaults, parked));
    EXPECT_TRUE(first.events.empty());
    ASSERT_EQ(second.events.size(), 1u);
    EXPECT_EQ(second.events[0].kind, DrivingEventKind::Braking);
    EXPECT_EQ(second.events[0].timeMs, 5000);
    ASSERT_EQ(parked.events.size(), 1u);
    EXPECT_EQ(parked.events[0].kind, DrivingEventKind::Impact);
    EXPECT_EQ(parked.events[0].timeMs, 12000);
    EXPECT_NEAR(first.figures.distanceM, 190, 2);
    EXPECT_NEAR(second.figures.distanceM, 380, 4);
    EXPECT_EQ(parked.figures.distanceM, 0);
    EXPECT_EQ(parked.figures.movingMs, 0);

    TripFigures drive, standing;
    ASSERT_TRUE(lib.manager.AnalyseGroup(0, defaults, drive));
    ASSERT_TRUE(lib.manager.AnalyseGroup(1, defaults, standing));
    EXPECT_NEAR(drive.distanceM, first.figures.distanceM + second.figures.distanceM, 1e-9);
    EXPECT_EQ(drive.durationMs, 40000);
    EXPECT_EQ(drive.movingMs, 40000);
    EXPECT_EQ(drive.maxSpeedKmh, 72);
    EXPECT_EQ(drive.eventCount, 1);
    EXPECT_EQ(standing.eventCount, 1);
    EXPECT_EQ(standing.durationMs, 20000);

    // The thresholds are the caller's: without braking, the stop is gone.
    EventThresholds noBraking;
    noBraking.braking.thresholdG = 0;
    ASSERT_TRUE(lib.manager.AnalyseGroup(0, noBraking, drive));
    EXPECT_EQ(drive.eventCount, 0);
}

TEST(RecordingReview, TheCurrentRecordingNeedsNoSecondRead) {
    ReviewCard c;
    Library lib;
    lib.Load(c.card);
    RecordingAnalysis current;
    EXPECT_FALSE(lib.manager.AnalyseCurrent({}, current)) << "nothing selected yet";
    ASSERT_EQ(lib.manager.LoadRecordingData(1), 1);
    // Read once: the file may go, the marks and figures stay.
    std::filesystem::remove(c.card.Path("DCIM/MOVA0002.MP4"));
    ASSERT_TRUE(lib.manager.AnalyseCurrent({}, current));
    ASSERT_EQ(current.events.size(), 1u);
    EXPECT_EQ(current.events[0].timeMs, 5000);
    EXPECT_NEAR(current.figures.distanceM, 380, 4);
}

TEST(RecordingReview, UnreadableRecordingsAndBadIndexesAreReported) {
    ReviewCard c;
    Library lib;
    lib.Load(c.card);
    std::filesystem::remove(c.card.Path("DCIM/MOVA0001.MP4"));
    RecordingAnalysis analysis;
    EXPECT_FALSE(lib.manager.AnalyseEntry(0, {}, analysis));
    EXPECT_FALSE(lib.manager.AnalyseEntry(3, {}, analysis));
    EXPECT_FALSE(lib.manager.AnalyseEntry(-1, {}, analysis));
    TripFigures group;
    EXPECT_FALSE(lib.manager.AnalyseGroup(0, {}, group));
    // What could be read is still there: the second recording's stop.
    EXPECT_EQ(group.eventCount, 1);
    EXPECT_EQ(group.durationMs, 20000);
    EXPECT_FALSE(lib.manager.AnalyseGroup(2, {}, group));
}

} // namespace
} // namespace kolvex::testing
