// Deleting, unlocking and copying the recordings of ticked groups.
#include "card_fixture.h"
#include "loaded_library.h"
#include "recording_fakes.h"

#include "library/file_system.h"
#include "library/recording_manager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace kolvex::testing {
namespace {

bool Writable(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR);
}

std::string Content(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<none>");
}

// Groups: {A1, A2, A3} from 10:00, {B1} from 11:00, {C1} from 12:00.
void WriteThreeGroups(TempCard& card) {
    card.AddRecording("DCIM/FILA0001.AVI", "2015-06-01 10:00:00", 60000);
    card.AddRecording("DCIM/FILG0002.AVI", "2015-06-01 10:01:00", 60000);
    card.AddRecording("DCIM/FILA0003.AVI", "2015-06-01 10:02:00", 60000);
    card.AddRecording("FILB0001.AVI", "2015-06-01 11:00:00", 60000);
    card.AddRecording("FILC0001.AVI", "2015-06-01 12:00:00", 60000);
}

TEST(MarkCheckedTest, CopiesTheTicksAndTellsWhetherAnyIsSet) {
    TempCard card;
    Library lib;
    EXPECT_EQ(lib.manager.MarkCheckedGroups(), 0); // no groups at all
    WriteThreeGroups(card);
    lib.Load(card);
    EXPECT_EQ(lib.manager.MarkCheckedGroups(), 0);
    lib.groups.ticked = {2};
    EXPECT_EQ(lib.manager.MarkCheckedGroups(), 1);
    EXPECT_EQ(lib.manager.Groups()[0].isChecked, 0);
    EXPECT_EQ(lib.manager.Groups()[2].isChecked, 1);
    // Nothing ticked: no operation touches anything.
    lib.groups.ticked.clear();
    EXPECT_EQ(lib.manager.DeleteChecked(), 0);
    EXPECT_EQ(lib.manager.UnlockChecked(), 0);
    EXPECT_EQ(lib.manager.SaveCheckedTo(card.Root() + "/copy"), 0);
    EXPECT_TRUE(lib.log.empty());
}

TEST(DeleteCheckedTest, DeletesTheTickedGroupsAndKeepsWhatCannotBeDeleted) {
    TempCard card;
    WriteThreeGroups(card);
    Library lib;
    lib.Load(card);
    ASSERT_EQ(::chmod(card.Path("DCIM/FILA0001.AVI").c_str(), 0444), 0);
    // The middle file becomes something that cannot be deleted as a file.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(card.Path("DCIM/FILG0002.AVI"))));
    card.AddFile("DCIM/FILG0002.AVI/inside", "x");
    lib.groups.ticked = {0, 2};

    EXPECT_EQ(lib.manager.DeleteChecked(), 1);

    EXPECT_EQ(lib.Names(), (std::vector<std::string>{"FILG0002.AVI", "FILB0001.AVI"}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(card.Path("DCIM/FILA0001.AVI"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(card.Path("DCIM/FILA0003.AVI"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(card.Path("FILC0001.AVI"))));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(card.Path("FILB0001.AVI"))));
    // Lists emptied once and refilled with the regrouped remainder.
    ASSERT_GE(lib.log.size(), 2u);
    EXPECT_EQ(lib.log[0], "group.DeleteAllItems");
    EXPECT_EQ(lib.log[1], "file.DeleteAllItems");
    EXPECT_EQ(CallsStartingWith(lib.log, "group.AddGroup").size(), 2u);
    EXPECT_EQ(CallsStartingWith(lib.log, "file.AddFile").size(), 2u);
    ASSERT_EQ(lib.manager.Groups().size(), 2u);
    EXPECT_EQ(lib.manager.Rows().size(), 2u);
}

TEST(DeleteCheckedTest, AGroupStartKeepsItsMarkAfterItsNeighbourIsDeleted) {
    // B overlaps A by more than 2 s and starts its own group; C begins at
    // A's end and starts one after B. Once B is gone, C still stands alone.
    TempCard card;
    card.AddRecording("FILA0001.AVI", "2015-06-01 10:00:00", 180000);
    card.AddRecording("FILB0002.AVI", "2015-06-01 10:01:00", 60000);
    card.AddRecording("FILC0003.AVI", "2015-06-01 10:03:00", 60000);
    Library lib;
    lib.Load(card);
    ASSERT_EQ(lib.manager.Groups().size(), 3u);
    lib.groups.ticked = {1};
    ASSERT_EQ(lib.manager.DeleteChecked(), 1);
    EXPECT_EQ(lib.manager.Groups().size(), 2u);
    EXPECT_EQ(lib.manager.Entries()[1].startsGroup, 1);
}

TEST(UnlockCheckedTest, MakesFilesWritableAndRenamesEventRecordings) {
    TempCard card;
    WriteThreeGroups(card);
    ASSERT_EQ(::chmod(card.Path("DCIM/FILG0002.AVI").c_str(), 0444), 0);
    Library lib;
    lib.Load(card);
    ASSERT_EQ(lib.manager.Entries()[1].flags, kRecordingEvent | kRecordingLocked);
    ASSERT_EQ(lib.manager.Groups()[0].flags, 3);
    lib.groups.ticked = {0};

    EXPECT_EQ(lib.manager.UnlockChecked(), 1);

    EXPECT_EQ(lib.Names()[1], "FIL_0002.AVI");
    EXPECT_EQ(lib.manager.Entries()[1].flags, 0);
    EXPECT_EQ(lib.manager.Groups()[0].flags, 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(card.Path("DCIM/FILG0002.AVI"))));
    EXPECT_TRUE(Writable(card.Path("DCIM/FIL_0002.AVI")));
    EXPECT_TRUE(QFile::exists(lib.manager.GetPath(1)));
    // Same groups and rows, refilled with the new name.
    EXPECT_EQ(lib.log[0], "group.DeleteAllItems");
    EXPECT_EQ(lib.log[1], "file.DeleteAllItems");
    EXPECT_EQ(CallsStartingWith(lib.log, "file.AddFile").size(), 5u);
    EXPECT_NE(lib.log[6].find("FIL_0002.AVI,60000"), std::string::npos) << lib.log[6];
}

TEST(UnlockCheckedTest, NeverRenamesOverAnExistingSibling) {
    TempCard card;
    card.AddRecording("MOVG0001.MOV", "2015-06-01 10:00:00", 60000);
    card.AddFile("MOV_0001.MOV", "another recording");
    Library lib;
    lib.Load(card);
    ASSERT_EQ(lib.Names(), std::vector<std::string>{"MOVG0001.MOV"});
    lib.groups.ticked = {0};
    EXPECT_EQ(lib.manager.UnlockChecked(), 1);
    EXPECT_EQ(lib.Names(), std::vector<std::string>{"MOVG0001.MOV"});
    EXPECT_EQ(lib.manager.Entries()[0].flags, kRecordingEvent);
    EXPECT_EQ(lib.manager.Groups()[0].flags, 0); // the group's mark is cleared anyway
    EXPECT_EQ(Content(card.Root() + "/MOV_0001.MOV"), "another recording");
    EXPECT_TRUE(QFile::exists(card.Root() + "/MOVG0001.MOV"));
}

TEST(SaveCheckedTest, CopiesTheTreeBelowTheDestinationWithProgress) {
    TempCard card;
    WriteThreeGroups(card);
    Library lib;
    lib.Load(card);
    lib.groups.ticked = {0, 2};
    const QString destination = card.Root() + "/backup/2015";

    EXPECT_EQ(lib.manager.SaveCheckedTo(destination), 1);

    for (const char* copied :
         {"DCIM/FILA0001.AVI", "DCIM/FILG0002.AVI", "DCIM/FILA0003.AVI", "FILC0001.AVI"}) {
        EXPECT_EQ(Content(destination + "/" + copied), Content(card.Root() + "/" + copied))
            << copied;
    }
    EXPECT_FALSE(QFile::exists(destination + "/FILB0001.AVI"));
    EXPECT_EQ(QDir(destination + "/DCIM").entryList(QDir::Files | QDir::Hidden).size(), 3);
    CallLog progress = CallsStartingWith(lib.log, "board.SetProgress");
    EXPECT_EQ(progress, (CallLog{"board.SetProgress(0,0 %)", "board.SetProgress(25,25 %)",
                                 "board.SetProgress(50,50 %)", "board.SetProgress(75,75 %)",
                                 "board.SetProgress(100,100 %)"}));
    EXPECT_EQ(lib.log.front(), "board.SetVisible(1)");
    EXPECT_EQ(lib.log.back(), "board.SetVisible(0)");
    EXPECT_EQ(CallsStartingWith(lib.log, "board.RepaintNow").size(), 5u);
}

TEST(SaveCheckedTest, AsksBeforeReplacingAndCancelSkipsOnlyThatFile) {
    TempCard card;
    card.AddRecording("FILA0001.AVI", "2015-06-01 10:00:00", 60000);
    card.AddRecording("FILA0002.AVI", "2015-06-01 10:01:00", 60000);
    card.AddFile("copy/FILA0001.AVI", "older copy");
    card.AddFile("copy/FILA0002.AVI", "older copy");
    Library lib;
    lib.Load(card);
    lib.groups.ticked = {0};
    lib.window.overwriteAnswer = false;
    ASSERT_EQ(lib.manager.SaveCheckedTo(card.Root() + "/copy"), 1);
    EXPECT_EQ(CallsStartingWith(lib.log, "window.ConfirmOverwrite"),
              (CallLog{"window.ConfirmOverwrite(" + Text(card.Root()) + "/copy/FILA0001.AVI)",
                       "window.ConfirmOverwrite(" + Text(card.Root()) + "/copy/FILA0002.AVI)"}));
    EXPECT_EQ(Content(card.Root() + "/copy/FILA0001.AVI"), "older copy");
    EXPECT_EQ(CallsStartingWith(lib.log, "board.SetProgress").back(),
              "board.SetProgress(100,100 %)");

    lib.window.overwriteAnswer = true;
    ASSERT_EQ(lib.manager.SaveCheckedTo(card.Root() + "/copy"), 1);
    EXPECT_EQ(Content(card.Root() + "/copy/FILA0001.AVI"), Content(card.Root() + "/FILA0001.AVI"));
}

TEST(SaveCheckedTest, NeverCopiesARecordingOntoItself) {
    TempCard card;
    card.AddRecording("DCIM/FILA0001.AVI", "2015-06-01 10:00:00", 60000);
    const std::string original = Content(QString::fromStdString(card.Path("DCIM/FILA0001.AVI")));
    Library lib;
    lib.Load(card);
    lib.groups.ticked = {0};
    // The destination is the opened folder itself, spelled differently.
    ASSERT_EQ(lib.manager.SaveCheckedTo(card.Root() + "/DCIM/.."), 1);
    EXPECT_EQ(Content(QString::fromStdString(card.Path("DCIM/FILA0001.AVI"))), original);
    EXPECT_TRUE(CallsStartingWith(lib.log, "window.ConfirmOverwrite").empty());
    EXPECT_EQ(QDir(card.Root() + "/DCIM").entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(SaveCheckedTest, AFailedCopyKeepsTheOldTargetAndLeavesNoPartialFile) {
    TempCard card;
    card.AddRecording("FILA0001.AVI", "2015-06-01 10:00:00", 60000);
    card.AddFile("copy/FILA0001.AVI", "older copy");
    Library lib;
    lib.Load(card);
    // The source became unreadable as a file after the scan.
    ASSERT_TRUE(QFile::remove(card.Root() + "/FILA0001.AVI"));
    QDir().mkdir(card.Root() + "/FILA0001.AVI");
    lib.groups.ticked = {0};
    ASSERT_EQ(lib.manager.SaveCheckedTo(card.Root() + "/copy"), 1);
    EXPECT_EQ(Content(card.Root() + "/copy/FILA0001.AVI"), "older copy");
    EXPECT_EQ(QDir(card.Root() + "/copy").entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(SaveCheckedTest, FileOpenedAloneGoesStraightIntoTheDestination) {
    TempCard card;
    card.AddRecording("DCIM/FILA0001.AVI", "2015-06-01 10:00:00", 60000);
    Library lib;
    ASSERT_EQ(lib.manager.Load(card.Root() + "/DCIM", QStringLiteral("FILA0001.AVI")), 1);
    lib.groups.ticked = {0};
    ASSERT_EQ(lib.manager.SaveCheckedTo(card.Root() + "/out"), 1);
    EXPECT_TRUE(QFile::exists(card.Root() + "/out/FILA0001.AVI"));
}

TEST(CreateDirectoryPathTest, CreatesEveryMissingLevelAndReportsTheLast) {
    TempCard card;
    EXPECT_TRUE(CreateDirectoryPath(card.Root() + "/a/b/c"));
    EXPECT_TRUE(IsDirectory(card.Root() + "/a/b/c"));
    EXPECT_TRUE(CreateDirectoryPath(card.Root() + "/a/b/d/"));
    EXPECT_FALSE(CreateDirectoryPath(card.Root() + "/a/b")); // exists already
    card.AddFile("file", "");
    EXPECT_FALSE(CreateDirectoryPath(card.Root() + "/file/below"));
}

} // namespace
} // namespace kolvex::testing
