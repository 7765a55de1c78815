// The camera's clock against GPS time over a card: each recording's
// offset, the card's figure, and the lists by GPS time.
#include "clock_fixture.h"
#include "loaded_library.h"

#include "tracks/camera_clock.h"
#include "tracks/track_math.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kolvex::testing {
namespace {

using namespace fixtures;

class CameraClockCardTest : public ::testing::Test {
protected:
    // A recording with the camera's text date (none: "") and, when
    // `utcStart` is given, a GPS receiver's NMEA file beside it.
    void Add(const std::string& relative, const std::string& textDate,
             std::optional<int64_t> utcStart) {
        card.AddRecording(relative, DatedOnly(textDate));
        if (utcStart)
            card.AddFile(relative.substr(0, relative.rfind('.')) + ".NMEA",
                         NmeaSeconds(*utcStart, 60));
    }
    static int64_t Local(int hour, int minute, int second) {
        int64_t epoch = 0;
        EXPECT_TRUE(LocalTimeToEpoch(2026, 5, 14, hour, minute, second, epoch));
        return epoch;
    }
    std::vector<int64_t> Starts() const {
        std::vector<int64_t> starts;
        for (const RecordingEntry& e : lib.manager.Entries())
            starts.push_back(e.meta.startTime);
        return starts;
    }
    std::vector<int> GroupSizes() const {
        std::vector<int> sizes;
        for (const RecordingGroup& g : lib.manager.Groups())
            sizes.push_back(g.count);
        return sizes;
    }

    ScopedTimeZone zone; // the player in Berlin, summer time
    TempCard card;
    Library lib;
};

// A camera set to UTC (its text dates) beside another camera's recording
// whose dated name is on local summer time; one of the first camera's
// recordings has no GPS.
TEST_F(CameraClockCardTest, ListsAndGroupsByGpsTimeOnlyWhenAskedTo) {
    Add("DCIM/CAMF/MOVA0010.MP4", "2026-05-14 06:12:00", kSummerUtc);
    Add("DCIM/CAMF/MOVA0020.MP4", "2026-05-14 06:13:00", kSummerUtc + 60);
    Add("DCIM/CAMF/MOVA0030.MP4", "2026-05-14 06:14:00", std::nullopt);
    Add("Normal/F/20260514_081100_NF.mp4", "", kSummerUtc - 60);

    lib.Load(card);
    // As read: the text dates taken as local time, the dated recording at
    // its GPS start, as before.
    EXPECT_EQ(lib.Names(), (std::vector<std::string>{"MOVA0010.MP4", "MOVA0020.MP4", "MOVA0030.MP4",
                                                     "20260514_081100_NF.mp4"}));
    EXPECT_EQ(Starts(), (std::vector<int64_t>{Local(6, 12, 0), Local(6, 13, 0), Local(6, 14, 0),
                                              kSummerUtc - 60}));
    EXPECT_EQ(GroupSizes(), (std::vector<int>{3, 1}));
    EXPECT_EQ(lib.manager.ClockOffset(0), 0);
    EXPECT_EQ(lib.manager.ClockOffset(1), 0);
    EXPECT_EQ(lib.manager.ClockOffset(2), std::nullopt) << "no GPS time";
    EXPECT_EQ(lib.manager.ClockOffset(3), 7200) << "the name's local summer time";
    EXPECT_EQ(lib.manager.CardClockOffset(), 0);

    lib.manager.SetListByGpsTime(true);
    lib.Load(card);
    // By GPS time: the recording without GPS keeps its camera's time, the
    // others line up as they were recorded and make one drive.
    EXPECT_EQ(lib.Names(), (std::vector<std::string>{"MOVA0030.MP4", "20260514_081100_NF.mp4",
                                                     "MOVA0010.MP4", "MOVA0020.MP4"}));
    EXPECT_EQ(Starts(), (std::vector<int64_t>{Local(6, 14, 0), kSummerUtc - 60, kSummerUtc,
                                              kSummerUtc + 60}));
    EXPECT_EQ(GroupSizes(), (std::vector<int>{1, 3}));
    // The offsets do not depend on how the list goes.
    EXPECT_EQ(lib.manager.ClockOffset(1), 7200);
    EXPECT_EQ(lib.manager.ClockOffset(2), 0);
    EXPECT_EQ(lib.manager.CardClockOffset(), 0);
}

// A camera on summer time running 3 minutes fast; one recording's GPS
// start a second late, one recording without GPS.
TEST_F(CameraClockCardTest, TheCardsFigureIsTheMedianAndKeepsTheGroupTogether) {
    Add("DCIM/CAMF/MOVA0010.MP4", "2026-05-14 08:15:00", kSummerUtc);
    Add("DCIM/CAMF/MOVA0020.MP4", "2026-05-14 08:16:00", kSummerUtc + 60);
    Add("DCIM/CAMF/MOVA0030.MP4", "2026-05-14 08:17:00", kSummerUtc + 121);
    Add("DCIM/CAMF/MOVA0040.MP4", "2026-05-14 08:18:00", std::nullopt);
    lib.manager.SetListByGpsTime(true);
    lib.Load(card);
    EXPECT_EQ(lib.manager.ClockOffset(2), 7379);
    EXPECT_EQ(lib.manager.CardClockOffset(), 7380);
    const ClockOffsetParts parts = SplitClockOffset(*lib.manager.CardClockOffset());
    EXPECT_TRUE(parts.likeZone);
    EXPECT_EQ(parts.zoneSec, 7200);
    EXPECT_EQ(parts.errorSec, 180);
    // The third keeps the camera's spacing (the card's figure), so the
    // three with GPS stay one group; the fourth keeps its fast camera time.
    EXPECT_EQ(Starts(), (std::vector<int64_t>{kSummerUtc, kSummerUtc + 60, kSummerUtc + 120,
                                              Local(8, 18, 0)}));
    EXPECT_EQ(GroupSizes(), (std::vector<int>{3, 1}));
}

} // namespace
} // namespace kolvex::testing
