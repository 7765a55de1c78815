// Loading: sorting, grouping, the list calls, and the single-file branch.
#include "card_fixture.h"
#include "recording_fakes.h"

#include "library/recording_manager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstdio>
#include <sys/stat.h>

namespace kolvex::testing {
namespace {

struct Loaded {
    CallLog log;
    FakeGroupList groups{log};
    FakeFileList files{log};
    CRecordingManager manager;
    Loaded() { manager.Init(&groups, &files, nullptr, nullptr, nullptr); }
};

// Which recordings (by name) start a group, in list order.
std::vector<std::string> GroupStarts(const CRecordingManager& manager) {
    std::vector<std::string> starts;
    for (const RecordingEntry& e : manager.Entries()) {
        if (e.startsGroup)
            starts.push_back(Text(e.name));
    }
    return starts;
}

struct GroupingCase {
    const char* secondStart;
    size_t groups;
};

TEST(GroupingTest, NextRecordingWithinTwoSecondsOfTheEndJoinsTheGroup) {
    // A lasts 180 s from 10:00:00; AVI recordings carry whole seconds.
    const GroupingCase cases[] = {
        {"2015-06-01 10:03:01", 1}, // 1 s late
        {"2015-06-01 10:03:02", 1}, // 2 s late
        {"2015-06-01 10:03:03", 2}, // 3 s late
        {"2015-06-01 10:02:58", 1}, // 2 s early
        {"2015-06-01 10:02:57", 2}, // 3 s early
    };
    for (const GroupingCase& c : cases) {
        TempCard card;
        card.AddRecording("FILA0001.AVI", "2015-06-01 10:00:00", 180000);
        card.AddRecording("FILB0002.AVI", c.secondStart, 60000);
        Loaded loaded;
        ASSERT_EQ(loaded.manager.Load(card.Root(), QString()), 1);
        ASSERT_EQ(loaded.manager.Entries().size(), 2u) << c.secondStart;
        EXPECT_EQ(loaded.manager.Groups().size(), c.groups) << c.secondStart;
    }
}

TEST(GroupingTest, BackToBackMp4RecordingsFormOneGroup) {
    TempCard card;
    card.AddRecording("FILE0001.MP4", "2015-06-01 10:00:00", 180500);
    card.AddRecording("FILE0002.MP4", "2015-06-01 10:03:01", 180000);
    card.AddRecording("FILE0003.MP4", "2015-06-01 10:09:00", 180000);
    Loaded loaded;
    ASSERT_EQ(loaded.manager.Load(card.Root(), QString()), 1);
    EXPECT_EQ(GroupStarts(loaded.manager),
              (std::vector<std::string>{"FILE0001.MP4", "FILE0003.MP4"}));
}

TEST(GroupingTest, SortsByStartAndFillsBothListsGroupsFirst) {
    TempCard card;
    auto late = RecordingAt("2015-06-01 12:00:00", 60000);
    late.width = 1280;
    late.height = 720;
    card.AddRecording("DCIM/FILC0003.AVI", late);
    card.AddRecording("FILA0001.AVI", "2015-06-01 10:00:00", 60000);
    auto second = RecordingAt("2015-06-01 10:01:00", 30000);
    second.width = 1280; // a later member's size does not name the group
    second.height = 720;
    card.AddRecording("FILG0002.AVI", second);
    ASSERT_EQ(::chmod(card.Path("FILG0002.AVI").c_str(), 0444), 0);
    Loaded loaded;
    ASSERT_EQ(loaded.manager.Load(card.Root(), QString()), 1);

    ASSERT_EQ(loaded.manager.Entries().size(), 3u);
    EXPECT_EQ(GroupStarts(loaded.manager),
              (std::vector<std::string>{"FILA0001.AVI", "FILC0003.AVI"}));
    const auto& entries = loaded.manager.Entries();
    const int64_t t0 = entries[0].meta.startTime;
    const int64_t bytes0 = static_cast<int64_t>(entries[0].meta.fileLength);
    const int64_t bytes1 = static_cast<int64_t>(entries[1].meta.fileLength);
    const int64_t bytes2 = static_cast<int64_t>(entries[2].meta.fileLength);
    const std::string root = Text(card.Root()) + "/";
    char expected[8][512];
    std::snprintf(expected[0], 512, "group.AddGroup(0,FHD,90000,%lld,3,%lld)",
                  static_cast<long long>(bytes0 + bytes1), static_cast<long long>(t0));
    std::snprintf(expected[1], 512, "group.AddGroup(1,HD,60000,%lld,0,%lld)",
                  static_cast<long long>(bytes2), static_cast<long long>(t0 + 7200));
    std::snprintf(expected[2], 512, "file.AddFile(0,0,%s,FILA0001.AVI,60000,%lld,0,%lld)",
                  root.c_str(), static_cast<long long>(bytes0), static_cast<long long>(t0));
    std::snprintf(expected[3], 512, "file.AddFile(0,1,%s,FILG0002.AVI,30000,%lld,3,%lld)",
                  root.c_str(), static_cast<long long>(bytes1), static_cast<long long>(t0 + 60));
    std::snprintf(expected[4], 512, "file.AddFile(1,0,%sDCIM/,FILC0003.AVI,60000,%lld,0,%lld)",
                  root.c_str(), static_cast<long long>(bytes2), static_cast<long long>(t0 + 7200));
    EXPECT_EQ(loaded.log, (CallLog{"group.DeleteAllItems", "file.DeleteAllItems", expected[0],
                                   expected[1], expected[2], expected[3], expected[4]}));
    // Rows and groups agree with the entries.
    ASSERT_EQ(loaded.manager.Rows().size(), 3u);
    EXPECT_EQ(loaded.manager.Rows()[1].group, 0);
    EXPECT_EQ(loaded.manager.Rows()[1].indexInGroup, 1);
    EXPECT_EQ(loaded.manager.Rows()[2].group, 1);
    EXPECT_EQ(loaded.manager.Rows()[2].entry, 2);
    EXPECT_EQ(loaded.manager.Groups()[1].firstEntry, 2);
}

TEST(SingleFileTest, LoadsOneFileWithoutTheNamingRule) {
    TempCard card;
    card.AddRecording("my trip.MP4", "2013-05-17 08:09:10");
    card.AddRecording("MOVG0001.MOV", "2013-05-17 08:09:10");
    ASSERT_EQ(::chmod(card.Path("MOVG0001.MOV").c_str(), 0444), 0);
    Loaded loaded;

    ASSERT_EQ(loaded.manager.Load(card.Root(), QStringLiteral("my trip.MP4")), 1);
    ASSERT_EQ(loaded.manager.Entries().size(), 1u);
    EXPECT_EQ(loaded.manager.Entries()[0].root, card.Root());
    EXPECT_EQ(loaded.manager.Entries()[0].subdir, QString());
    EXPECT_EQ(loaded.manager.ScanCount(), 0);
    EXPECT_TRUE(QFile::exists(loaded.manager.GetPath(0)));

    ASSERT_EQ(loaded.manager.Load(card.Root(), QStringLiteral("MOVG0001.MOV")), 1);
    ASSERT_EQ(loaded.manager.Entries().size(), 1u);
    EXPECT_EQ(loaded.manager.Entries()[0].flags, kRecordingEvent | kRecordingLocked);
}

TEST(SingleFileTest, MissingFileFailsAndUnparsableFileLoadsEmpty) {
    TempCard card;
    card.AddRecording("FILE0001.MP4", "2013-05-17 08:09:10");
    card.AddFile("FILE0002.MP4", "text");
    Loaded loaded;
    EXPECT_EQ(loaded.manager.Load(card.Root(), QStringLiteral("ABSENT01.MP4")), 0);
    EXPECT_EQ(loaded.manager.Load(card.Root(), QStringLiteral("FILE0002.MP4")), 1);
    EXPECT_TRUE(loaded.manager.Entries().empty());
    // Lower-case ".avi" goes to the MP4 reader, which rejects an AVI file.
    card.AddRecording("FILE0003.AVI", "2013-05-17 08:09:10");
    ASSERT_EQ(QFile::rename(QString::fromStdString(card.Path("FILE0003.AVI")),
                            QString::fromStdString(card.Path("FILE0003.avi"))),
              true);
    EXPECT_EQ(loaded.manager.Load(card.Root(), QStringLiteral("FILE0003.avi")), 1);
    EXPECT_TRUE(loaded.manager.Entries().empty());
}

TEST(SingleFileTest, BareNameIsFoundInTheWorkingFolder) {
    TempCard card;
    card.AddRecording("FILE0001.MP4", "2013-05-17 08:09:10");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(card.Root()));
    Loaded loaded;
    const int result = loaded.manager.Load(QString(), QStringLiteral("FILE0001.MP4"));
    const QString path = loaded.manager.Entries().empty() ? QString() : loaded.manager.GetPath(0);
    QDir::setCurrent(previous);
    ASSERT_EQ(result, 1);
    ASSERT_EQ(loaded.manager.Entries().size(), 1u);
    EXPECT_EQ(path, QStringLiteral("FILE0001.MP4"));
}

} // namespace
} // namespace kolvex::testing
