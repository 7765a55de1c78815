// The card's plan: rear files the player finds by name alone, and the
// camera's clock.
#include "card_plan.h"
#include "wall_clock.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kolvex::samplecard {
namespace {

PlannedRecording Front(const std::string& folder, const std::string& name,
                       std::optional<RearPlace> rear) {
    PlannedRecording r;
    r.folder = folder;
    r.name = name;
    if (rear)
        r.rear = RearPartner{*rear, 1280, 720};
    return r;
}

// The player derives a rear file from the front file's name only, so the
// plan must never let two fronts meet the same rear file.
TEST(CardPlanTest, RearPartnersAreFoundByNameWithoutMixUps) {
    struct Case {
        const char* what;
        std::vector<PlannedRecording> fronts;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"distinct rears beside and in the sibling folder",
         {Front("DCIM/CAMF", "MOVA0010.MP4", RearPlace::SiblingFolder),
          Front("DCIM/CAMF", "MOVA0020.MP4", RearPlace::SiblingFolder),
          Front("DCIM/MOVIE", "MOVA0040.MOV", RearPlace::Beside)},
         true},
        {"two fronts differing only in their last digit share one rear",
         {Front("DCIM/CAMF", "MOVA0011.MP4", RearPlace::SiblingFolder),
          Front("DCIM/CAMF", "MOVA0012.MP4", RearPlace::SiblingFolder)},
         false},
        {"a front without a partner would play another front's rear",
         {Front("DCIM/CAMF", "MOVA0011.MP4", RearPlace::SiblingFolder),
          Front("DCIM/CAMF", "MOVA0012.MP4", std::nullopt)},
         false},
        {"a rear beside one front shadows another front's rear in the sibling folder",
         {Front("DCIM/CAMF", "MOVA0011.MP4", RearPlace::SiblingFolder),
          Front("DCIM/CAMF", "MOVA0015.MP4", RearPlace::Beside)},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CardPlan plan;
        plan.recordings = c.fronts;
        if (c.valid)
            EXPECT_NO_THROW(CheckRearPartners(plan));
        else
            EXPECT_THROW(CheckRearPartners(plan), std::logic_error);
    }
    EXPECT_NO_THROW(SampleCardPlan());
}

TEST(CardPlanTest, RearNamesChangeTheLastCharacterBeforeTheExtension) {
    EXPECT_EQ(RearName("MOVA0010.MP4"), "MOVA001R.MP4");
    EXPECT_EQ(RearName("CLIP.F.MOV"), "CLIP.R.MOV");
    EXPECT_EQ(RearFolder("DCIM/CAMF"), "DCIM/CAMR");
    EXPECT_THROW(RearName("NOEXTENSION"), std::invalid_argument);
    EXPECT_THROW(RearName(".MP4"), std::invalid_argument);
}

TEST(CardPlanTest, TheCameraClockCountsAcrossMonthsYearsAndLeapDays) {
    struct Case {
        WallClock from;
        int64_t seconds;
        WallClock to;
    };
    const std::vector<Case> cases = {
        {{2026, 5, 14, 8, 12, 0}, 20, {2026, 5, 14, 8, 12, 20}},
        {{2026, 2, 28, 23, 59, 59}, 1, {2026, 3, 1, 0, 0, 0}},
        {{2028, 2, 28, 23, 59, 59}, 1, {2028, 2, 29, 0, 0, 0}},
        {{2026, 12, 31, 23, 59, 50}, 15, {2027, 1, 1, 0, 0, 5}},
        {{1970, 1, 1, 0, 0, 10}, -20, {1969, 12, 31, 23, 59, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.Text());
        EXPECT_EQ(c.from.Plus(c.seconds), c.to) << c.from.Plus(c.seconds).Text();
    }
    EXPECT_EQ((WallClock{2026, 5, 14, 8, 12, 0}).ToSeconds(), 1778746320);
    EXPECT_EQ((WallClock{2026, 5, 14, 8, 2, 3}).Text(), "2026-05-14 08:02:03");
}

} // namespace
} // namespace kolvex::samplecard
