// Delete, unlock and save as touch only the files that were listed, with
// their rear files, and never replace a listed recording. Every case
// compares checksums and modes of every file on the card before and after.
#include "card_tree.h"
#include "dual_card.h"
#include "loaded_library.h"

#include "library/rear_file.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <set>
#include <unistd.h>

namespace kolvex::testing {
namespace {

enum class Op { kDelete, kUnlock, kSaveAs };

const char* OpName(Op op) {
    return op == Op::kDelete ? "delete" : op == Op::kUnlock ? "unlock" : "save as";
}

int RunOperation(Op op, Library& lib, const TempCard& card) {
    switch (op) {
    case Op::kDelete:
        return lib.manager.DeleteChecked();
    case Op::kUnlock:
        return lib.manager.UnlockChecked();
    case Op::kSaveAs:
        return lib.manager.SaveCheckedTo(card.Root() + "/backup");
    }
    return -1;
}

// "DCIM/CAMF/MOVG0020.MP4" -> "DCIM/CAMF/MOV_0020.MP4"
std::string Unlocked(const std::string& path) {
    std::string renamed = path;
    renamed[path.rfind('/') + 4] = '_';
    return renamed;
}

bool IsEvent(const std::string& path) {
    return path[path.rfind('/') + 4] == 'G';
}

// What the operation does to one listed file (front or rear) it handles.
void ExpectHandled(Op op, CardTree& tree, const std::string& path, const std::string& copyTo) {
    switch (op) {
    case Op::kDelete:
        ExpectRemoved(tree, {path});
        break;
    case Op::kUnlock:
        ExpectWritable(tree, path);
        if (IsEvent(path))
            ExpectMoved(tree, path, Unlocked(path));
        break;
    case Op::kSaveAs:
        ExpectCopied(tree, path, "backup/" + copyTo);
        break;
    }
}

void Replace(TempCard& card, const std::string& path, const std::function<void()>& write) {
    ASSERT_EQ(::unlink(card.Path(path).c_str()), 0);
    write();
}

struct Mutation {
    const char* name;
    std::function<void(TempCard&)> apply;
    std::set<std::string> skippedFronts; // with their rear files
    std::set<std::string> skippedRears;  // alone
    int changed;
};

// The card changes between loading and the operation; group 0 is ticked.
TEST(ListedFilesTest, OnlyTheFilesStillListedAreTouched) {
    const std::vector<Mutation> mutations = {
        {"a front replaced by another read-only recording",
         [](TempCard& card) {
             Replace(card, "DCIM/CAMF/MOVA0030.MP4", [&] {
                 card.AddRecording("DCIM/CAMF/MOVA0030.MP4", "2026-06-01 09:00:00", 30000);
             });
             ::chmod(card.Path("DCIM/CAMF/MOVA0030.MP4").c_str(), 0444);
         },
         {"DCIM/CAMF/MOVA0030.MP4"},
         {},
         1},
        {"two listed fronts swapped names",
         [](TempCard& card) {
             const std::string a = card.Path("DCIM/CAMF/MOVA0010.MP4");
             const std::string b = card.Path("DCIM/CAMF/MOVA0030.MP4");
             ASSERT_EQ(::rename(a.c_str(), (a + ".x").c_str()), 0);
             ASSERT_EQ(::rename(b.c_str(), a.c_str()), 0);
             ASSERT_EQ(::rename((a + ".x").c_str(), b.c_str()), 0);
         },
         {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMF/MOVA0030.MP4"},
         {},
         3},
        {"a front written to in place",
         [](TempCard& card) {
             QFile file(QString::fromStdString(card.Path("DCIM/CAMF/MOVA0030.MP4")));
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("more");
         },
         {"DCIM/CAMF/MOVA0030.MP4"},
         {},
         1},
        {"a read-only event front replaced by a link to a read-only file",
         [](TempCard& card) {
             Replace(card, "DCIM/CAMF/MOVG0020.MP4", [&] {
                 ASSERT_EQ(::symlink("../../outside/victim.bin",
                                     card.Path("DCIM/CAMF/MOVG0020.MP4").c_str()),
                           0);
             });
         },
         {"DCIM/CAMF/MOVG0020.MP4"},
         {},
         2},
        {"a rear file replaced",
         [](TempCard& card) {
             Replace(card, "DCIM/CAMR/MOVA001R.MP4",
                     [&] { card.AddFile("DCIM/CAMR/MOVA001R.MP4", "another rear view"); });
         },
         {},
         {"DCIM/CAMR/MOVA001R.MP4"},
         1},
    };
    for (const Mutation& m : mutations) {
        for (Op op : {Op::kDelete, Op::kUnlock, Op::kSaveAs}) {
            SCOPED_TRACE(std::string(m.name) + ", " + OpName(op));
            TempCard card;
            WriteDualCard(card);
            Library lib;
            lib.Load(card);
            m.apply(card);
            CardTree expected = SnapshotTree(card.Root());
            int done = 0;
            for (const FrontAndRear& r : DualCardGroup0()) {
                if (m.skippedFronts.count(r.front))
                    continue;
                ExpectHandled(op, expected, r.front, r.front);
                ++done;
                if (r.rear.empty() || m.skippedRears.count(r.rear))
                    continue;
                ExpectHandled(op, expected, r.rear, RearBeside(r.front));
                ++done;
            }
            lib.groups.ticked = {0};

            ASSERT_EQ(RunOperation(op, lib, card), 1);

            EXPECT_EQ(TreeDifference(expected, SnapshotTree(card.Root())), "");
            const FileOperationReport& report = lib.manager.LastOperationReport();
            EXPECT_EQ(report.changed, m.changed);
            EXPECT_EQ(report.done, done);
            EXPECT_EQ(report.failed, 0);
            if (op == Op::kDelete) { // the files left alone stay listed
                EXPECT_EQ(lib.manager.Entries().size(), 4u - (3u - m.skippedFronts.size()));
            }
        }
    }
}

// A confirmed overwrite never replaces a file that is itself listed.
TEST(ListedFilesTest, SaveAsNeverReplacesAListedRecording) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> recordings; // path, start
        std::vector<std::string> rears;
        std::set<int> ticked;
        std::string destination;                                 // below the card
        std::vector<std::pair<std::string, std::string>> copies; // from, to
        int loadedTarget;
    };
    const std::vector<Case> cases = {
        {"a recording of the same name in the destination",
         {{"MOVA0010.MP4", "2026-05-14 08:00:00"}, {"X/MOVA0010.MP4", "2026-05-14 09:00:00"}},
         {},
         {0, 1},
         "X",
         {{"X/MOVA0010.MP4", "X/X/MOVA0010.MP4"}},
         1},
        {"a listed rear file where the rear copy would go",
         {{"MOVA0010.MP4", "2026-05-14 08:00:00"}, {"X/MOVA0011.MP4", "2026-05-14 09:00:00"}},
         {"MOVA001R.MP4", "X/MOVA001R.MP4"},
         {0},
         "X",
         {{"MOVA0010.MP4", "X/MOVA0010.MP4"}},
         1},
        {"the opened folder itself, reached through ..",
         {{"MOVA0010.MP4", "2026-05-14 08:00:00"}, {"X/MOVA0010.MP4", "2026-05-14 09:00:00"}},
         {"MOVA001R.MP4"},
         {0, 1},
         "X/..",
         {},
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempCard card;
        for (const auto& [path, start] : c.recordings)
            card.AddRecording(path, start, 20000);
        for (const std::string& rear : c.rears)
            card.AddFile(rear, "rear view " + rear);
        Library lib;
        lib.Load(card);
        ASSERT_EQ(lib.manager.Groups().size(), c.recordings.size());
        CardTree expected = SnapshotTree(card.Root());
        for (const auto& [from, to] : c.copies)
            ExpectCopied(expected, from, to);
        lib.groups.ticked = c.ticked;
        lib.window.overwriteAnswer = true;

        ASSERT_EQ(
            lib.manager.SaveCheckedTo(card.Root() + "/" + QString::fromStdString(c.destination)),
            1);

        EXPECT_EQ(TreeDifference(expected, SnapshotTree(card.Root())), "");
        EXPECT_EQ(lib.manager.LastOperationReport().loadedTarget, c.loadedTarget);
        EXPECT_EQ(lib.manager.LastOperationReport().done, static_cast<int>(c.copies.size()));
        EXPECT_TRUE(CallsStartingWith(lib.log, "window.ConfirmOverwrite").empty());
    }
}

// The rear file goes with its front file: copied beside the front copy,
// deleted with it, renamed with it so that the lookup still finds it.
TEST(ListedFilesTest, RearFilesFollowTheirFrontFiles) {
    struct Case {
        const char* name;
        Op op;
        std::function<void(TempCard&)> prepare; // before loading
        std::set<int> ticked;
        std::function<void(CardTree&)> expect;
        int done;
        int failed;
    };
    const auto none = [](TempCard&) {};
    const std::vector<Case> cases = {
        {"copy: rear files land beside the front copies",
         Op::kSaveAs,
         none,
         {0, 1},
         [](CardTree& t) {
             for (const char* front : {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMF/MOVG0020.MP4",
                                       "DCIM/CAMF/MOVA0030.MP4", "DCIM/MOVIE/MOVA0040.MOV"})
                 ExpectCopied(t, front, std::string("backup/") + front);
             ExpectCopied(t, "DCIM/CAMR/MOVA001R.MP4", "backup/DCIM/CAMF/MOVA001R.MP4");
             ExpectCopied(t, "DCIM/CAMR/MOVG002R.MP4", "backup/DCIM/CAMF/MOVG002R.MP4");
             ExpectCopied(t, "DCIM/MOVIE/MOVA004R.MOV", "backup/DCIM/MOVIE/MOVA004R.MOV");
         },
         7,
         0},
        {"delete: rear files in the sibling folder and beside go too",
         Op::kDelete,
         none,
         {0, 1},
         [](CardTree& t) {
             ExpectRemoved(t, {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMF/MOVG0020.MP4",
                               "DCIM/CAMF/MOVA0030.MP4", "DCIM/MOVIE/MOVA0040.MOV",
                               "DCIM/CAMR/MOVA001R.MP4", "DCIM/CAMR/MOVG002R.MP4",
                               "DCIM/MOVIE/MOVA004R.MOV"});
         },
         7,
         0},
        {"unlock: the event's rear file is unlocked and renamed by the same rule",
         Op::kUnlock,
         none,
         {0},
         [](CardTree& t) {
             ExpectWritable(t, "DCIM/CAMF/MOVG0020.MP4");
             ExpectMoved(t, "DCIM/CAMF/MOVG0020.MP4", "DCIM/CAMF/MOV_0020.MP4");
             ExpectWritable(t, "DCIM/CAMR/MOVG002R.MP4");
             ExpectMoved(t, "DCIM/CAMR/MOVG002R.MP4", "DCIM/CAMR/MOV_002R.MP4");
         },
         5,
         0},
        {"unlock: the rear file's new name exists, so neither file is changed",
         Op::kUnlock,
         [](TempCard& card) { card.AddFile("DCIM/CAMR/MOV_002R.MP4", "another rear view"); },
         {0},
         // Nor is either made writable: an unlock does both or neither.
         [](CardTree&) {},
         3,
         2},
        {"unlock: a file beside would become the renamed front's rear, so nothing is changed",
         Op::kUnlock,
         [](TempCard& card) { card.AddFile("DCIM/CAMF/MOV_002R.MP4", "not this rear view"); },
         {0},
         // Nor is either made writable: an unlock does both or neither.
         [](CardTree&) {},
         3,
         2},
        {"delete: a rear file two listed fronts share stays",
         Op::kDelete,
         [](TempCard& card) {
             card.AddRecording("DCIM/CAMF/MOVA0011.MP4", "2026-05-14 10:00:00", 20000);
         },
         {2}, // MOVA0011.MP4 alone; its rear lookup meets MOVA0010.MP4's rear file
         [](CardTree& t) { ExpectRemoved(t, {"DCIM/CAMF/MOVA0011.MP4"}); },
         1,
         0},
        {"delete: a rear file that is itself a listed recording stays",
         Op::kDelete,
         [](TempCard& card) {
             card.AddRecording("DCIM/MOVIE/MOVA0050X.MOV", "2026-05-14 11:00:00", 20000);
             card.AddRecording("DCIM/MOVIE/MOVA0050R.MOV", "2026-05-14 12:00:00", 20000);
         },
         {2}, // MOVA0050X.MOV, whose rear name is the listed MOVA0050R.MOV
         [](CardTree& t) { ExpectRemoved(t, {"DCIM/MOVIE/MOVA0050X.MOV"}); },
         1,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempCard card;
        WriteDualCard(card);
        c.prepare(card);
        Library lib;
        lib.Load(card);
        CardTree expected = SnapshotTree(card.Root());
        c.expect(expected);
        lib.groups.ticked = c.ticked;

        ASSERT_EQ(RunOperation(c.op, lib, card), 1);

        EXPECT_EQ(TreeDifference(expected, SnapshotTree(card.Root())), "");
        EXPECT_EQ(lib.manager.LastOperationReport().done, c.done);
        EXPECT_EQ(lib.manager.LastOperationReport().failed, c.failed);
        EXPECT_EQ(lib.manager.LastOperationReport().changed, 0);
        // Whatever the outcome, the event recording still finds its own rear.
        for (int e = 0; e < static_cast<int>(lib.manager.Entries().size()); ++e) {
            const QString name = lib.manager.Entries()[static_cast<size_t>(e)].name;
            if (!name.endsWith("0020.MP4"))
                continue;
            const QString rear = name == "MOVG0020.MP4" ? "MOVG002R.MP4" : "MOV_002R.MP4";
            EXPECT_EQ(QDir::cleanPath(FindRearFile(lib.manager.GetPath(e))),
                      card.Root() + "/DCIM/CAMR/" + rear);
        }
    }
}

} // namespace
} // namespace kolvex::testing
