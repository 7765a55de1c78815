// The event detector's defaults against the sample card's drives: the hard
// braking for the pedestrian and the parked car's door slam are found at
// their moments, and everything else the card holds (starts, stops at a
// red light, bends, a roundabout, a tunnel, a car rocking on its springs)
// gives nothing.
#include "card_plan.h"
#include "card_writer.h"

#include "tracks/driving_events.h"
#include "tracks/gps_sample.h"
#include "tracks/sample_decoding.h"

#include <gtest/gtest.h>

#include <map>

namespace kolvex::samplecard {
namespace {

std::vector<DrivingEvent> EventsOf(const CardPlan& plan, const PlannedRecording& recording,
                                   const EventThresholds& thresholds = {}) {
    const CameraRecords records = RecordsFor(plan, recording);
    VideoMetaInfo meta;
    meta.durationMs = static_cast<uint32_t>(recording.window.seconds * 1000);
    meta.gsensorInfo = {(*records.gsensorInfo)[0], (*records.gsensorInfo)[1], 0, 0};
    const auto& block = *records.gsensorBlock;
    return DetectDrivingEvents(LoadGSensorBlock(block.data(), block.size()), meta, thresholds);
}

// The card's findings at the defaults and with every threshold a tenth
// lower: the defaults keep a margin over the strongest steady force on the
// card (a bend at 0.36 G, the car rocking at 0.40 G after its stop).
TEST(SampleCardEventsTest, FindsTheBrakingAndTheDoorSlamAndNothingElse) {
    const CardPlan plan = SampleCardPlan();
    struct Expected {
        DrivingEventKind kind;
        int64_t timeMs;
    };
    // The braking starts 27.5 s into the commute, 7.5 s into MOVG0020 (the
    // first sample that feels it is the next one); the door is slammed 12 s
    // into the parked recording.
    const std::map<std::string, Expected> expected = {
        {"MOVG0020.MP4", {DrivingEventKind::Braking, 7500}},
        {"MOVA0080.MP4", {DrivingEventKind::Impact, 12000}},
    };
    for (const double sensitivity : {1.0, 0.9}) {
        EventThresholds thresholds;
        for (EventRule* rule :
             {&thresholds.braking, &thresholds.acceleration, &thresholds.turn, &thresholds.impact})
            rule->thresholdG *= sensitivity;
        for (const PlannedRecording& recording : plan.recordings) {
            SCOPED_TRACE(recording.name + " at " + std::to_string(sensitivity));
            const auto events = EventsOf(plan, recording, thresholds);
            const auto it = expected.find(recording.name);
            if (it == expected.end()) {
                EXPECT_TRUE(events.empty())
                    << DrivingEventName(events[0].kind) << " at " << events[0].timeMs;
                continue;
            }
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0].kind, it->second.kind);
            EXPECT_NEAR(static_cast<double>(events[0].timeMs), it->second.timeMs, 100);
        }
    }
}

} // namespace
} // namespace kolvex::samplecard
