// A copy planned by the library and run with callbacks, as the window runs
// it on a thread of its own: the progress inside a large file, a cancel or
// a lost target in the middle of it, and the reasons the file operations
// give for what they did not do. Every case compares the card's files
// (checksums and modes) before and after.
#include "card_tree.h"
#include "dual_card.h"
#include "loaded_library.h"

#include "library/file_system.h"
#include "library/recording_copy.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex::testing {
namespace {

constexpr int64_t kLargeRear = 48 << 20; // the rear file of MOVA0010, sparse

// The callbacks of a copy, with what a test wants to happen at a given
// number of bytes.
class ScriptedCallbacks : public ICopyCallbacks {
public:
    bool ConfirmOverwrite(const QString& targetPath) override {
        questions.push_back(targetPath);
        return overwrite;
    }
    void Progress(const CopyProgress& progress, bool recordingDone) override {
        reports.push_back(progress);
        if (!recordingDone && atBytes && progress.bytesDone >= atBytesFrom) {
            atBytes();
            atBytes = nullptr;
        }
    }
    bool CancelRequested() override { return cancel; }

    bool overwrite = true;
    bool cancel = false;
    int64_t atBytesFrom = 0;
    std::function<void()> atBytes;
    std::vector<QString> questions;
    std::vector<CopyProgress> reports;
};

struct LargeScene {
    TempCard card;
    QTemporaryDir targetRoot;
    Library lib;
    QString Target() const { return targetRoot.path() + "/backup"; }
    LargeScene() {
        WriteDualCard(card);
        EXPECT_EQ(::truncate(card.Path("DCIM/CAMR/MOVA001R.MP4").c_str(), kLargeRear), 0);
        QDir().mkpath(Target());
        lib.Load(card);
        lib.groups.ticked = {0};
    }
};

bool HoldsCopyTemporary(const QString& folder) {
    for (const std::string& name : FolderEntries(folder)) {
        if (name.rfind(kCopyTemporaryPrefix, 0) == 0)
            return true;
    }
    return false;
}

TEST(CopyProgressTest, ReportsBytesInsideALargeFileAndEndsAtAll) {
    LargeScene s;
    std::unique_ptr<RecordingCopy> copy = s.lib.manager.PrepareCopy(s.Target());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->FileCount(), 5);
    EXPECT_GT(copy->ByteCount(), kLargeRear);
    ScriptedCallbacks callbacks;
    copy->Run(callbacks);
    s.lib.manager.FinishCopy(*copy);

    const FileOperationReport& report = s.lib.manager.LastOperationReport();
    EXPECT_EQ(report.done, 5);
    EXPECT_EQ(report.requested, 5);
    EXPECT_TRUE(report.problems.empty());
    EXPECT_EQ(QFileInfo(s.Target() + "/DCIM/CAMF/MOVA001R.MP4").size(), kLargeRear);
    // Many reports inside the large file, never going back, ending at all.
    int insideLarge = 0;
    int64_t last = -1;
    for (const CopyProgress& p : callbacks.reports) {
        EXPECT_GE(p.bytesDone, last);
        last = p.bytesDone;
        if (p.filesDone == 1 && p.bytesDone > 0)
            ++insideLarge;
    }
    EXPECT_GE(insideLarge, 40);
    ASSERT_FALSE(callbacks.reports.empty());
    EXPECT_EQ(callbacks.reports.back().filesDone, 5);
    EXPECT_EQ(callbacks.reports.back().Percent(), 100);
    EXPECT_EQ(callbacks.reports.back().RemainingMs(), 0);
}

TEST(CopyProgressTest, RemainingTimeFollowsTheRateSoFar) {
    CopyProgress p;
    p.bytesTotal = 4000;
    p.bytesDone = 1000;
    p.elapsedMs = 400; // too early to tell
    EXPECT_EQ(p.RemainingMs(), -1);
    p.elapsedMs = 2000;
    EXPECT_EQ(p.RemainingMs(), 6000);
    EXPECT_EQ(p.Percent(), 25);
    p.bytesDone = 4000;
    EXPECT_EQ(p.RemainingMs(), 0);
    CopyProgress empty; // files without bytes: by the files
    empty.filesTotal = 4;
    empty.filesDone = 1;
    EXPECT_EQ(empty.Percent(), 25);
}

// Stopped in the middle of the large rear file: nothing under its final
// name, no temporary left, the card untouched, and what was copied before
// stays.
TEST(CopyProgressTest, StopsInsideALargeFileAndLeavesNoPartialCopy) {
    struct Case {
        const char* name;
        std::function<void(LargeScene&, ScriptedCallbacks&)> stop;
        bool cancelled;
        bool targetLost;
    };
    const std::vector<Case> cases = {
        {"cancelled", [](LargeScene&, ScriptedCallbacks& c) { c.cancel = true; }, true, false},
        {"target removed",
         [](LargeScene& s, ScriptedCallbacks&) { QDir(s.Target()).removeRecursively(); }, false,
         true},
        {"target replaced",
         [](LargeScene& s, ScriptedCallbacks&) {
             QDir().rename(s.Target(), s.Target() + "-old");
             QDir().mkdir(s.Target());
         },
         false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LargeScene s;
        const CardTree card = SnapshotTree(s.card.Root());
        std::unique_ptr<RecordingCopy> copy = s.lib.manager.PrepareCopy(s.Target());
        ASSERT_TRUE(copy);
        ScriptedCallbacks callbacks;
        const int64_t front = QFileInfo(s.card.Root() + "/DCIM/CAMF/MOVA0010.MP4").size();
        callbacks.atBytesFrom = front + kLargeRear / 2;
        callbacks.atBytes = [&] { c.stop(s, callbacks); };

        copy->Run(callbacks);
        s.lib.manager.FinishCopy(*copy);

        EXPECT_FALSE(callbacks.atBytes) << "never got halfway";
        const FileOperationReport& report = s.lib.manager.LastOperationReport();
        EXPECT_EQ(report.cancelled, c.cancelled);
        EXPECT_EQ(report.targetLost, c.targetLost);
        EXPECT_EQ(report.done, 1); // MOVA0010 itself
        EXPECT_EQ(report.notAttempted, 4);
        EXPECT_EQ(report.failed, 0);
        ASSERT_FALSE(report.problems.empty());
        EXPECT_EQ(report.problems[0].path, s.card.Root() + "/DCIM/CAMR/MOVA001R.MP4");
        EXPECT_EQ(report.problems[0].problem,
                  c.cancelled ? FileProblem::kCancelled : FileProblem::kTargetLost);
        // The progress stopped where the copy did.
        EXPECT_LT(callbacks.reports.back().bytesDone, copy->ByteCount());
        EXPECT_EQ(TreeDifference(card, SnapshotTree(s.card.Root())), "");
        const QString folder =
            (c.name == std::string("target replaced") ? s.Target() + "-old" : s.Target()) +
            "/DCIM/CAMF";
        EXPECT_FALSE(QFileInfo::exists(folder + "/MOVA001R.MP4"));
        EXPECT_FALSE(HoldsCopyTemporary(folder)) << folder.toStdString();
        if (c.cancelled) {
            EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"MOVA0010.MP4"});
        }
        if (c.name == std::string("target replaced")) {
            EXPECT_EQ(FolderEntries(s.Target()), std::vector<std::string>{});
        }
    }
}

// The overwrite questions come in the copy's order, and each answer holds
// for its own file only.
TEST(CopyProgressTest, OverwriteQuestionsKeepTheirOrderAndAnswers) {
    LargeScene s;
    QDir().mkpath(s.Target() + "/DCIM/CAMF");
    for (const char* name : {"MOVA0030.MP4", "MOVA0010.MP4"}) {
        QFile old(s.Target() + "/DCIM/CAMF/" + name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("older copy");
    }
    std::unique_ptr<RecordingCopy> copy = s.lib.manager.PrepareCopy(s.Target());
    ASSERT_TRUE(copy);
    struct Answering : ScriptedCallbacks {
        bool ConfirmOverwrite(const QString& targetPath) override {
            questions.push_back(targetPath);
            return targetPath.endsWith("MOVA0030.MP4"); // keeps MOVA0010's old copy
        }
    } callbacks;
    copy->Run(callbacks);
    s.lib.manager.FinishCopy(*copy);
    EXPECT_EQ(callbacks.questions, (std::vector<QString>{s.Target() + "/DCIM/CAMF/MOVA0010.MP4",
                                                         s.Target() + "/DCIM/CAMF/MOVA0030.MP4"}));
    QFile kept(s.Target() + "/DCIM/CAMF/MOVA0010.MP4");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("older copy"));
    EXPECT_GT(QFileInfo(s.Target() + "/DCIM/CAMF/MOVA0030.MP4").size(), 100);
    const FileOperationReport& report = s.lib.manager.LastOperationReport();
    EXPECT_EQ(report.declined, 2); // MOVA0010 and, with it, its rear file
    EXPECT_EQ(report.done, 3);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].problem, FileProblem::kDeclined);
    EXPECT_EQ(report.problems[0].files, 2);
}

// Unlock does both steps or neither: a refused rename leaves the read-only
// protection of the front and the rear file as it was.
TEST(UnlockReasonsTest, ARefusedRenameKeepsEveryModeAndNamesTheTakenName) {
    struct Case {
        const char* name;
        const char* blocker; // the file that already has a new name
        const char* takenName;
    };
    for (const Case& c : {Case{"front name taken", "DCIM/CAMF/MOV_0020.MP4", "MOV_0020.MP4"},
                          Case{"rear name taken", "DCIM/CAMR/MOV_002R.MP4", "MOV_002R.MP4"}}) {
        SCOPED_TRACE(c.name);
        TempCard card;
        WriteDualCard(card);
        card.AddFile(c.blocker, "another recording");
        Library lib;
        lib.Load(card);
        lib.groups.ticked = {0};
        CardTree expected = SnapshotTree(card.Root());
        ExpectWritable(expected, "DCIM/CAMF/MOVA0010.MP4"); // already writable: no change
        ASSERT_EQ(lib.manager.UnlockChecked(), 1);
        EXPECT_EQ(TreeDifference(expected, SnapshotTree(card.Root())), "");
        const FileOperationReport& report = lib.manager.LastOperationReport();
        EXPECT_EQ(report.failed, 2); // MOVG0020 and its rear file
        EXPECT_EQ(report.done, 3);
        ASSERT_EQ(report.problems.size(), 1u);
        EXPECT_EQ(report.problems[0].path, card.Root() + "/DCIM/CAMF/MOVG0020.MP4");
        EXPECT_EQ(report.problems[0].problem, FileProblem::kNameTaken);
        EXPECT_EQ(report.problems[0].other, c.takenName);
        EXPECT_EQ(lib.Names()[1], "MOVG0020.MP4");
    }
}

TEST(DeleteReasonsTest, AVanishedFileIsNamedWithItsRearFile) {
    TempCard card;
    WriteDualCard(card);
    Library lib;
    lib.Load(card);
    lib.groups.ticked = {0};
    ASSERT_EQ(::unlink(card.Path("DCIM/CAMF/MOVA0010.MP4").c_str()), 0);
    CardTree expected = SnapshotTree(card.Root());
    ExpectRemoved(expected,
                  {"DCIM/CAMF/MOVG0020.MP4", "DCIM/CAMR/MOVG002R.MP4", "DCIM/CAMF/MOVA0030.MP4"});
    ASSERT_EQ(lib.manager.DeleteChecked(), 1);
    EXPECT_EQ(TreeDifference(expected, SnapshotTree(card.Root())), "");
    const FileOperationReport& report = lib.manager.LastOperationReport();
    EXPECT_EQ(report.operation, FileOperation::kDelete);
    EXPECT_EQ(report.requested, 5);
    EXPECT_EQ(report.done, 3);
    EXPECT_EQ(report.failed, 2); // with it, its rear file stays
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].path, card.Root() + "/DCIM/CAMF/MOVA0010.MP4");
    EXPECT_EQ(report.problems[0].problem, FileProblem::kVanished);
    EXPECT_EQ(report.problems[0].files, 2);
}

} // namespace
} // namespace kolvex::testing
