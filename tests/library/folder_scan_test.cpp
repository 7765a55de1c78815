// The folder walk and the naming rule: what a card scan visits, counts and
// lists.
#include "card_fixture.h"
#include "recording_fakes.h"

#include "library/folder_walk.h"
#include "library/recording_manager.h"
#include "library/recording_name.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex::testing {
namespace {

struct NameCase {
    const char* name;
    bool accepted;
    bool event;
};

TEST(RecordingNameTest, FollowsTheCamerasNamingRule) {
    const NameCase cases[] = {
        {"FILE0001.MOV", true, false},
        {"EVNG0123.AVI", true, true},    // event: fourth character 'G'
        {"2015_0101.MOV", false, false}, // fifth character '_'
        {"MOVA01234.AVI", false, false}, // an AVI name has exactly 12 characters
        {"MOVA01234.MP4", true, false},
        {"MOVA0123.avi", true, false},  // only upper-case ".AVI" has the length rule
        {"AB C0001.MOV", false, false}, // blank among the first four
        {"a-_G0001", true, true},       // letters, '-', '_' and exactly 8 characters
        {"FILE001", false, false},      // shorter than 8
        {"ab", false, false},
        {"FILE0A01.MOV", false, false},      // non-digit among the fifth to eighth
        {"FIL\u00c90001.MOV", false, false}, // only ASCII letters
    };
    for (const NameCase& c : cases) {
        bool event = true;
        bool locked = true;
        EXPECT_EQ(IsRecordingName(QStringLiteral("/nonexistent"), QString::fromUtf8(c.name), event,
                                  locked),
                  c.accepted)
            << c.name;
        if (c.accepted) {
            EXPECT_EQ(event, c.event) << c.name;
            EXPECT_FALSE(locked) << c.name;
        }
    }
}

TEST(RecordingNameTest, LockedMeansNotWritableByItsOwner) {
    TempCard card;
    card.AddFile("FILE0001.MOV", "x");
    ASSERT_EQ(::chmod(card.Path("FILE0001.MOV").c_str(), 0444), 0);
    bool event = false;
    bool locked = false;
    ASSERT_TRUE(IsRecordingName(card.Root(), QStringLiteral("FILE0001.MOV"), event, locked));
    EXPECT_TRUE(locked);
}

// Every entry the walk reports, as "relative path|name|d or f".
std::vector<std::string> Walk(const QString& folder, bool* found = nullptr) {
    std::vector<std::string> seen;
    const bool ok = WalkFolder(folder, [&](const QString& opened, const QString& relative,
                                           const QString& name, bool isDirectory) {
        EXPECT_TRUE(opened.endsWith(u'/'));
        seen.push_back(Text(relative) + "|" + Text(name) + (isDirectory ? "|d" : "|f"));
    });
    if (found)
        *found = ok;
    std::sort(seen.begin(), seen.end());
    return seen;
}

TEST(FolderWalkTest, SkipsHiddenEntriesAndEverythingBelowHiddenFolders) {
    TempCard card;
    card.AddFile("DCIM/100MEDIA/FILE0001.MOV", "");
    card.AddFile("DCIM/.hidden/FILE0002.MOV", "");
    card.AddFile(".FILE0003.MOV", "");
    card.AddFile("notes.txt", "");
    EXPECT_EQ(Walk(card.Root()), (std::vector<std::string>{
                                     "DCIM/100MEDIA/|FILE0001.MOV|f",
                                     "DCIM/|100MEDIA|d",
                                     "|DCIM|d",
                                     "|notes.txt|f",
                                 }));
}

TEST(FolderWalkTest, DoesNotFollowLinksToFolders) {
    TempCard card;
    card.AddFile("DCIM/FILE0001.MOV", "");
    // A link back to the card's root would otherwise be walked 40 levels deep.
    ASSERT_EQ(::symlink(card.Root().toUtf8().constData(), card.Path("DCIM/loop").c_str()), 0);
    ASSERT_EQ(::symlink(card.Path("DCIM/FILE0001.MOV").c_str(), card.Path("FILE0009.MOV").c_str()),
              0);
    EXPECT_EQ(Walk(card.Root()), (std::vector<std::string>{
                                     "DCIM/|FILE0001.MOV|f", "|DCIM|d",
                                     "|FILE0009.MOV|f", // a link to a file is offered
                                 }));
}

TEST(FolderWalkTest, PipesAndDevicesAreNotOfferedToTheReader) {
    TempCard card;
    card.AddFile("DCIM/FILE0001.MOV", "");
    // Opening a pipe waits for a writer: the scan would hang on it.
    ASSERT_EQ(::mkfifo(card.Path("DCIM/FILE0002.MOV").c_str(), 0644), 0);
    ASSERT_EQ(::symlink(card.Path("DCIM/FILE0002.MOV").c_str(), card.Path("FILE0003.MOV").c_str()),
              0);
    ::alarm(20); // a hang fails the test instead of stalling the suite
    EXPECT_EQ(Walk(card.Root()), (std::vector<std::string>{"DCIM/|FILE0001.MOV|f", "|DCIM|d"}));
    CRecordingManager manager;
    EXPECT_EQ(manager.Load(card.Root() + "/DCIM", QStringLiteral("FILE0002.MOV")), 1);
    EXPECT_TRUE(manager.Entries().empty());
    ::alarm(0);
}

TEST(FolderWalkTest, EntersFortyLevelsAndReportsButDoesNotEnterTheFortyFirst) {
    TempCard card;
    std::string deep;
    for (int level = 1; level <= 41; ++level)
        deep += "d" + std::to_string(level) + "/";
    card.AddFile(deep + "inside41.MOV", "");
    card.AddFile(deep + "../inside40.MOV", "");
    const std::vector<std::string> seen = Walk(card.Root());
    std::string level40;
    for (int level = 1; level <= 40; ++level)
        level40 += "d" + std::to_string(level) + "/";
    EXPECT_NE(std::find(seen.begin(), seen.end(), level40 + "|inside40.MOV|f"), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), level40 + "|d41|d"), seen.end());
    for (const std::string& entry : seen)
        EXPECT_EQ(entry.find("inside41"), std::string::npos);
}

TEST(FolderWalkTest, MissingFolderIsReportedAndAFileIsNoFolder) {
    TempCard card;
    card.AddFile("FILE0001.MOV", "");
    bool found = true;
    EXPECT_TRUE(Walk(card.Root() + "/absent", &found).empty());
    EXPECT_FALSE(found);
    EXPECT_TRUE(Walk(QString::fromStdString(card.Path("FILE0001.MOV")), &found).empty());
    EXPECT_FALSE(found);
}

TEST(FolderScanTest, ListsParsedRecordingsWithRootSubdirAndCountsEveryFile) {
    TempCard card;
    card.AddRecording("DCIM/100MEDIA/FILE0001.MOV", "2015-06-01 10:00:00");
    card.AddRecording("DCIM/100MEDIA/EVNG0002.MOV", "2015-06-01 10:01:00");
    card.AddFile("DCIM/100MEDIA/FILE0003.MOV", "not a recording");
    card.AddFile("ab", "");
    card.AddFile("DCIM/.hidden/FILE0004.MOV", "");
    CallLog log;
    FakeFileList files(log);
    FakeScanCounter counter;
    CRecordingManager manager;
    manager.Init(nullptr, &files, nullptr, nullptr, nullptr);
    manager.SetProgressView(&counter);

    ASSERT_EQ(manager.Load(card.Root(), QString()), 1);

    EXPECT_EQ(manager.ScanCount(), 4);
    // The counter shows the files visited before the current one, after each.
    EXPECT_EQ(counter.counts, (std::vector<int>{0, 1, 2, 3}));
    ASSERT_EQ(manager.Entries().size(), 2u);
    const RecordingEntry& first = manager.Entries()[0];
    EXPECT_EQ(first.root, card.Root() + "/");
    EXPECT_EQ(first.subdir, QStringLiteral("DCIM/100MEDIA/"));
    EXPECT_EQ(first.name, QStringLiteral("FILE0001.MOV"));
    EXPECT_EQ(first.flags, 0);
    EXPECT_EQ(manager.Entries()[1].flags, kRecordingEvent);
    EXPECT_TRUE(QFile::exists(manager.GetPath(0)));
    // The folder column joins root and subdir without adding a separator.
    const CallLog added = CallsStartingWith(log, "file.AddFile");
    ASSERT_EQ(added.size(), 2u);
    EXPECT_NE(added[0].find("," + Text(card.Root()) + "/DCIM/100MEDIA/,FILE0001.MOV,"),
              std::string::npos)
        << added[0];
}

TEST(FolderScanTest, EmptyFolderLoadsWithNothingAndMissingFolderFails) {
    TempCard card;
    CallLog log;
    FakeGroupList groups(log);
    FakeFileList files(log);
    CRecordingManager manager;
    manager.Init(&groups, &files, nullptr, nullptr, nullptr);
    EXPECT_EQ(manager.Load(card.Root(), QString()), 1);
    EXPECT_EQ(manager.ScanCount(), 0);
    EXPECT_TRUE(manager.Entries().empty());

    card.AddRecording("FILE0001.MOV", "2015-06-01 10:00:00");
    ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
    ASSERT_EQ(manager.Entries().size(), 1u);
    log.clear();
    EXPECT_EQ(manager.Load(card.Root() + "/absent", QString()), 0);
    // The old list is gone and nothing new was listed.
    EXPECT_TRUE(manager.Entries().empty());
    EXPECT_EQ(log, (CallLog{"group.DeleteAllItems", "file.DeleteAllItems"}));
}

} // namespace
} // namespace kolvex::testing
