// The rear-file lookup the player and the file operations share.
#include "card_fixture.h"

#include "library/rear_file.h"

#include <gtest/gtest.h>

#include <vector>

namespace kolvex::testing {
namespace {

TEST(FindRearFileTest, BesideFirstThenInTheSiblingFolder) {
    struct Case {
        const char* name;
        std::vector<const char*> files;
        const char* front; // below the card, as the library joins it
        const char* rear;  // "" when none is found
    };
    const std::vector<Case> cases = {
        {"beside", {"F/CLIPF.MP4", "F/CLIPR.MP4"}, "F/CLIPF.MP4", "F/CLIPR.MP4"},
        {"in the sibling folder",
         {"CAR/F/CLIPF.MP4", "CAR/R/CLIPR.MP4"},
         "CAR/F/CLIPF.MP4",
         "CAR/R/CLIPR.MP4"},
        {"beside wins",
         {"F/CLIPF.MP4", "F/CLIPR.MP4", "R/CLIPR.MP4"},
         "F/CLIPF.MP4",
         "F/CLIPR.MP4"},
        {"doubled separators before the name",
         {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMR/MOVA001R.MP4"},
         "DCIM/CAMF//MOVA0010.MP4",
         "DCIM/CAMR//MOVA001R.MP4"},
        {"three separators are still skipped",
         {"F/CLIPF.MP4", "R/CLIPR.MP4"},
         "F///CLIPF.MP4",
         "R///CLIPR.MP4"},
        {"four separators are not", {"F/CLIPF.MP4", "R/CLIPR.MP4"}, "F////CLIPF.MP4", ""},
        {"no rear file", {"F/CLIPF.MP4", "F/CLIPX.MP4"}, "F/CLIPF.MP4", ""},
        {"a name without extension has none", {"A.F/CLIPF", "R.F/CLIPF"}, "A.F/CLIPF", ""},
        {"only the sibling folder's file counts",
         {"F/CLIPF.MP4", "R/CLIPF.MP4"},
         "F/CLIPF.MP4",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempCard card;
        for (const char* file : c.files)
            card.AddFile(file, file);
        const QString front = card.Root() + "/" + c.front;
        const QString expected = *c.rear ? card.Root() + "/" + c.rear : QString();
        EXPECT_EQ(FindRearFile(front), expected);
    }
    EXPECT_EQ(FindRearFile(QStringLiteral("CLIPF.MP4")), QString()); // no folder at all
}

TEST(FindRearFileTest, TheNameBesideTurnsTheCharacterBeforeTheExtension) {
    EXPECT_EQ(RearNameBeside("MOVA0010.MP4"), "MOVA001R.MP4");
    EXPECT_EQ(RearNameBeside("/card/DCIM/CAMF/MOVG0020.MOV"), "/card/DCIM/CAMF/MOVG002R.MOV");
    EXPECT_EQ(RearNameBeside("clip.tar.gz"), "clip.taR.gz");
    EXPECT_EQ(RearNameBeside(".MP4"), "");
    EXPECT_EQ(RearNameBeside("/card/a.b/NAME"), "");
}

} // namespace
} // namespace kolvex::testing
