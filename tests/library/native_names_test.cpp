// A card formatted elsewhere carries names that are not UTF-8: the library
// finds, reads, copies, unlocks and deletes such recordings by the exact
// bytes of their names.
#include "card_fixture.h"
#include "recording_fakes.h"

#include "library/file_system.h"
#include "library/native_path.h"
#include "library/recording_manager.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kolvex::testing {
namespace {

struct NameCase {
    const char* what;
    std::string folder; // below the card
    std::string name;   // an event recording's name (fourth letter G)
};

const NameCase kNames[] = {
    {"folder named with byte 0xFF", "\xFF", "MOVG0010.MP4"},
    {"Latin-1 byte after the eighth character", "DCIM", "MOVG0010\xE9.MP4"},
    {"Latin-1 folder and two bad bytes in the name", "K\xF6ln/\xFF", "MOVG0010\xFF\xFE.MP4"},
    {"cut UTF-8 sequence as folder", "\xE2\x82", "MOVG0010.MP4"},
};

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string Bytes(const QString& path) {
    return NativePath(path).toStdString();
}

fixtures::CameraRecording WithFix() {
    auto r = RecordingAt("2015-06-01 10:00:00");
    r.writeGps = true;
    fixtures::GpsRecord fix;
    fix.latitude = 4807.038;
    fix.longitude = 1131.0;
    fix.flags = 1;
    r.gps = {fix, fix};
    return r;
}

struct Library {
    CallLog log;
    FakeGroupList groups{log};
    FakeFileList files{log};
    FakeMainWindow window{log};
    CRecordingManager manager;
    Library() { manager.Init(&groups, &files, nullptr, nullptr, &window); }
};

TEST(NativeNamesTest, RecordingsAreFoundAndReadByTheirBytes) {
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.what);
        TempCard card;
        const std::string relative = c.folder + '/' + c.name;
        card.AddRecording(relative, WithFix());

        Library lib;
        ASSERT_EQ(lib.manager.Load(card.Root(), QString()), 1);
        ASSERT_EQ(lib.manager.Entries().size(), 1u);
        EXPECT_EQ(Bytes(lib.manager.Entries()[0].name), c.name);
        EXPECT_EQ(Bytes(lib.manager.Entries()[0].subdir), c.folder + '/');
        EXPECT_TRUE(IsSameFile(lib.manager.GetPath(0), PathFromNative(card.Path(relative))));
        ASSERT_EQ(lib.manager.LoadRecordingData(0), 1);
        EXPECT_EQ(lib.manager.GpsDataSize(), 2 * 32u);

        // The player's way of opening one file: folder and name apart.
        Library single;
        ASSERT_EQ(single.manager.Load(PathFromNative(card.Path(c.folder)), PathFromNative(c.name)),
                  1);
        ASSERT_EQ(single.manager.Entries().size(), 1u);
        ASSERT_EQ(single.manager.LoadRecordingData(0), 1);
        EXPECT_EQ(single.manager.GpsDataSize(), 2 * 32u);
    }
}

TEST(NativeNamesTest, CopyUnlockAndDeleteKeepTheBytes) {
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.what);
        TempCard card;
        card.AddRecording("card/" + c.folder + '/' + c.name, WithFix());
        Library lib;
        ASSERT_EQ(lib.manager.Load(PathFromNative(card.Path("card")), QString()), 1);
        ASSERT_EQ(lib.manager.Entries().size(), 1u);
        lib.groups.ticked = {0};

        ASSERT_EQ(lib.manager.SaveCheckedTo(PathFromNative(card.Path("copy"))), 1);
        EXPECT_TRUE(Exists(card.Path("copy/" + c.folder + '/' + c.name)));

        ASSERT_EQ(lib.manager.UnlockChecked(), 1);
        std::string unlocked = c.name;
        unlocked[3] = '_';
        const std::string unlockedPath = card.Path("card/" + c.folder + '/' + unlocked);
        EXPECT_TRUE(Exists(unlockedPath));
        EXPECT_EQ(Bytes(lib.manager.Entries()[0].name), unlocked);

        ASSERT_EQ(lib.manager.DeleteChecked(), 1);
        EXPECT_FALSE(Exists(unlockedPath));
        EXPECT_TRUE(lib.manager.Entries().empty());
    }
}

} // namespace
} // namespace kolvex::testing
