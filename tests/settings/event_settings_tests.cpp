// The driving-event thresholds in Kolvex.ini: each key falls back to the
// detector's default on its own, and a value that is no usable number never
// becomes a threshold.
#include "event_settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace {

using kolvex::EventRule;
using kolvex::EventThresholds;
using kolvex::ReadEventThresholds;

EventThresholds ReadFrom(const QByteArray& text) {
    TempFolder tmp;
    const QString ini = tmp.Path("Kolvex.ini");
    if (!text.isNull())
        TempFolder::WriteFile(ini, text);
    return ReadEventThresholds(CAppSettings(ini));
}

TEST(EventSettings, MissingFileAndKeysGiveTheDetectorsDefaults) {
    EXPECT_EQ(ReadFrom({}), EventThresholds{});
    EXPECT_EQ(ReadFrom("[UI]\nMAP=1\n"), EventThresholds{});
    const EventThresholds d;
    EXPECT_EQ(d.braking, (EventRule{0.40, 300}));
    EXPECT_EQ(d.acceleration, (EventRule{0.35, 300}));
    EXPECT_EQ(d.turn, (EventRule{0.40, 500}));
    EXPECT_EQ(d.impact, (EventRule{0.50, 0}));
}

TEST(EventSettings, EachKeySetsItsOwnValue) {
    const EventThresholds t = ReadFrom("[UI]\nEventBrakeG=0.6\nEventBrakeMs=800\nEventAccelG=0,3\n"
                                       "EventAccelMs=200\nEventTurnG= 0.45 \nEventTurnMs=700\n"
                                       "EventImpactG=1.5\nEventImpactMs=50\n");
    EXPECT_EQ(t.braking, (EventRule{0.6, 800}));
    EXPECT_EQ(t.acceleration, (EventRule{0.3, 200}));
    EXPECT_EQ(t.turn, (EventRule{0.45, 700}));
    EXPECT_EQ(t.impact, (EventRule{1.5, 50}));
}

TEST(EventSettings, UnusableValuesFallBackAndZeroSwitchesAKindOff) {
    const struct {
        const char* stored;
        double g; // EventBrakeG read from it
        int ms;   // EventBrakeMs read from it
    } cases[] = {
        {"0", 0.0, 0},
        {"", 0.40, 300},
        {"abc", 0.40, 300},
        {"-0.5", 0.40, 300},
        {"0.4x", 0.40, 300},
        {"inf", 0.40, 300},
        {"nan", 0.40, 300},
        {"1e0", 1.0, 300},
        {"99999999999", 99999999999.0, 300}, // G as large as written, ms beyond int
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const QByteArray text =
            QByteArray("[UI]\nEventBrakeG=") + c.stored + "\nEventBrakeMs=" + c.stored + "\n";
        const EventThresholds t = ReadFrom(text);
        EXPECT_EQ(t.braking.thresholdG, c.g);
        EXPECT_EQ(t.braking.minDurationMs, c.ms);
        EXPECT_EQ(t.turn, EventThresholds{}.turn);
    }
}

} // namespace
