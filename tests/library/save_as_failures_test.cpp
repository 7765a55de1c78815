// Save as counts the copies it could not make, stops when the chosen folder
// is lost instead of creating it again, refuses a target that is no folder
// the user chose, and removes what killed copies left behind. The card is
// compared file by file (checksums and modes) before and after each case.
#include "card_tree.h"
#include "dual_card.h"
#include "loaded_library.h"
#include "scratch_mount.h"

#include "library/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <functional>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex::testing {
namespace {

// The copy hook is process-wide; every case leaves it empty.
class WriteHookScope {
public:
    explicit WriteHookScope(CopyWriteHook hook) { SetCopyWriteHook(std::move(hook)); }
    ~WriteHookScope() { SetCopyWriteHook({}); }
};

bool HoldsCopyTemporary(const CardTree& tree) {
    for (const auto& [path, state] : tree) {
        const std::string name = path.substr(path.rfind('/') + 1);
        if (name.rfind(kCopyTemporaryPrefix, 0) == 0)
            return true;
    }
    return false;
}

void WriteFile(const std::string& path, const std::string& content) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path;
    ASSERT_EQ(file.write(content.data(), static_cast<qint64>(content.size())),
              static_cast<qint64>(content.size()));
}

// Writes a file until the file system refuses more: only on a scratch mount.
void FillUp(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
}

void SetModified(const std::string& path, time_t secondsFromNow) {
    const timespec when[2] = {{::time(nullptr) + secondsFromNow, 0},
                              {::time(nullptr) + secondsFromNow, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), when, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Card files and where Save as copies them below the target.
const std::vector<std::pair<std::string, std::string>> kGroup0Copies = {
    {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMF/MOVA0010.MP4"},
    {"DCIM/CAMR/MOVA001R.MP4", "DCIM/CAMF/MOVA001R.MP4"},
    {"DCIM/CAMF/MOVG0020.MP4", "DCIM/CAMF/MOVG0020.MP4"},
    {"DCIM/CAMR/MOVG002R.MP4", "DCIM/CAMF/MOVG002R.MP4"},
    {"DCIM/CAMF/MOVA0030.MP4", "DCIM/CAMF/MOVA0030.MP4"},
};

// The target tree expected after the given card files were copied.
CardTree WithCopies(CardTree target, const CardTree& card, const std::vector<std::string>& files) {
    for (const auto& [from, to] : kGroup0Copies) {
        if (std::find(files.begin(), files.end(), from) != files.end())
            target[to] = card.at(from);
    }
    return target;
}

struct Scene {
    TempCard card;
    QTemporaryDir targetRoot;
    Library lib;
    QString Target() const { return targetRoot.path() + "/backup"; }
    std::string TargetPath(const std::string& relative) const {
        return (Target() + "/" + QString::fromStdString(relative)).toStdString();
    }
    Scene() {
        WriteDualCard(card);
        QDir().mkpath(Target());
        lib.Load(card);
        lib.groups.ticked = {0};
    }
};

TEST(SaveAsFailuresTest, CopiesThatFailAreCountedAndLeaveNothingBehind) {
    struct Case {
        const char* name;
        // Returns why the case cannot run here, or "".
        std::function<std::string(Scene&, std::unique_ptr<ScratchMount>&)> prepare;
        bool failWrites;
        std::vector<std::string> copied;
        int failed;
    };
    const std::vector<Case> cases = {
        {"a write fails midway",
         [](Scene& s, std::unique_ptr<ScratchMount>&) {
             QDir().mkpath(s.Target() + "/DCIM/CAMF");
             WriteFile(s.TargetPath("DCIM/CAMF/MOVG0020.MP4"), "an older copy, kept");
             return std::string();
         },
         true,
         {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMR/MOVA001R.MP4", "DCIM/CAMF/MOVA0030.MP4"},
         2},
        {"the source vanished after loading",
         [](Scene& s, std::unique_ptr<ScratchMount>&) {
             EXPECT_EQ(::unlink(s.card.Path("DCIM/CAMF/MOVA0030.MP4").c_str()), 0);
             return std::string();
         },
         false,
         {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMR/MOVA001R.MP4", "DCIM/CAMF/MOVG0020.MP4",
          "DCIM/CAMR/MOVG002R.MP4"},
         1},
        {"the target file system is full",
         [](Scene& s, std::unique_ptr<ScratchMount>& mount) {
             mount = std::make_unique<ScratchMount>(s.Target(), "size=64k");
             if (!mount->Mounted())
                 return mount->Error();
             FillUp(s.TargetPath("filler"));
             return std::string();
         },
         false,
         {},
         5},
        {"the target file system is read-only",
         [](Scene& s, std::unique_ptr<ScratchMount>& mount) {
             mount = std::make_unique<ScratchMount>(s.Target(), "size=64k", true);
             return mount->Mounted() ? std::string() : mount->Error();
         },
         false,
         {},
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        std::unique_ptr<ScratchMount> mount;
        const std::string cannot = c.prepare(s, mount);
        if (!cannot.empty()) {
            std::cout << "[  SKIPPED ] " << c.name << ": " << cannot << "\n";
            continue;
        }
        const CardTree card = SnapshotTree(s.card.Root());
        const CardTree expectedTarget = WithCopies(SnapshotTree(s.Target()), card, c.copied);
        WriteHookScope hook([&](const QString& target) {
            return !(c.failWrites && target.endsWith("MOVG0020.MP4"));
        });

        ASSERT_EQ(s.lib.manager.SaveCheckedTo(s.Target()), 1);

        const CardTree target = SnapshotTree(s.Target());
        EXPECT_EQ(TreeDifference(card, SnapshotTree(s.card.Root())), "");
        EXPECT_EQ(TreeDifference(expectedTarget, target), "");
        EXPECT_FALSE(HoldsCopyTemporary(target));
        const FileOperationReport& report = s.lib.manager.LastOperationReport();
        EXPECT_EQ(report.failed, c.failed);
        EXPECT_EQ(report.done, static_cast<int>(c.copied.size()));
        EXPECT_FALSE(report.targetLost);
    }
}

TEST(SaveAsFailuresTest, StopsWhenTheTargetFolderIsLostMidRun) {
    struct Case {
        const char* name;
        bool needsMount;
        std::function<void(Scene&, ScratchMount*)> lose;
        std::function<void(Scene&)> check;
    };
    const std::vector<Case> cases = {
        {"removed", false, [](Scene& s, ScratchMount*) { QDir(s.Target()).removeRecursively(); },
         [](Scene& s) { EXPECT_FALSE(QFileInfo::exists(s.Target())); }},
        {"replaced by an empty folder", false,
         [](Scene& s, ScratchMount*) {
             QDir().rename(s.Target(), s.Target() + "-old");
             QDir().mkdir(s.Target());
         },
         [](Scene& s) {
             EXPECT_EQ(FolderEntries(s.Target()), std::vector<std::string>{});
             EXPECT_TRUE(QFileInfo::exists(s.Target() + "-old/DCIM/CAMF/MOVA001R.MP4"));
         }},
        {"unmounted", true, [](Scene&, ScratchMount* mount) { mount->Unmount(); },
         // The empty mount point lies on the parent file system.
         [](Scene& s) { EXPECT_EQ(FolderEntries(s.Target()), std::vector<std::string>{}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        std::unique_ptr<ScratchMount> mount;
        if (c.needsMount) {
            mount = std::make_unique<ScratchMount>(s.Target(), "size=1m");
            if (!mount->Mounted()) {
                std::cout << "[  SKIPPED ] " << c.name << ": " << mount->Error() << "\n";
                continue;
            }
        }
        const CardTree card = SnapshotTree(s.card.Root());
        bool lost = false;
        WriteHookScope hook([&](const QString& target) {
            if (!lost && target.endsWith("MOVG0020.MP4")) {
                lost = true;
                c.lose(s, mount.get());
            }
            return true;
        });

        ASSERT_EQ(s.lib.manager.SaveCheckedTo(s.Target()), 1);

        EXPECT_TRUE(lost);
        c.check(s);
        EXPECT_EQ(TreeDifference(card, SnapshotTree(s.card.Root())), "");
        const FileOperationReport& report = s.lib.manager.LastOperationReport();
        EXPECT_TRUE(report.targetLost);
        EXPECT_EQ(report.done, 2); // MOVA0010 and its rear file
        // The copy stops inside MOVG0020 (with its rear file) and MOVA0030
        // is not begun.
        EXPECT_EQ(report.failed, 0);
        EXPECT_EQ(report.notAttempted, 3);
        EXPECT_EQ(CallsStartingWith(s.lib.log, "board.SetProgress"),
                  (CallLog{"board.SetProgress(0,0 %)", "board.SetProgress(33,33 %)"}));
        EXPECT_EQ(s.lib.log.back(), "board.SetVisible(0)");
    }
}

TEST(SaveAsFailuresTest, RefusesATargetThatIsNoAbsoluteFolder) {
    QTemporaryDir scratch;
    ASSERT_TRUE(QDir().mkdir(scratch.path() + "/cwd"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(scratch.path() + "/cwd"));
    const std::vector<std::string> rootBefore = FolderEntries("/");
    for (const char* target : {"", "backup", "./backup", "../backup", "DCIM"}) {
        SCOPED_TRACE(std::string("\"") + target + "\"");
        Scene s;
        const CardTree card = SnapshotTree(s.card.Root());

        ASSERT_EQ(s.lib.manager.SaveCheckedTo(QString::fromUtf8(target)), 1);

        EXPECT_TRUE(s.lib.manager.LastOperationReport().targetRefused);
        EXPECT_EQ(s.lib.manager.LastOperationReport().done, 0);
        EXPECT_TRUE(s.lib.log.empty()) << s.lib.log.front(); // no progress either
        EXPECT_EQ(TreeDifference(card, SnapshotTree(s.card.Root())), "");
        EXPECT_EQ(FolderEntries(scratch.path()), std::vector<std::string>{"cwd"});
        EXPECT_EQ(FolderEntries(scratch.path() + "/cwd"), std::vector<std::string>{});
        EXPECT_EQ(FolderEntries("/"), rootBefore);
    }
    // An absolute path that names a file is no folder either.
    Scene s;
    ASSERT_EQ(
        s.lib.manager.SaveCheckedTo(QString::fromStdString(s.card.Path("outside/victim.bin"))), 1);
    EXPECT_TRUE(s.lib.manager.LastOperationReport().targetRefused);
    QDir::setCurrent(previous);
}

TEST(SaveAsFailuresTest, RemovesOnlyOurOwnStaleTemporariesFromFoldersItCopiesInto) {
    struct Leftover {
        const char* path; // below the target
        time_t modified;  // seconds from now
        bool link;
        bool removed;
    };
    const std::vector<Leftover> leftovers = {
        {"DCIM/CAMF/.kolvex-copy-MOVA0010.MP4.Ab12Cd", -3600, false, true},
        {"DCIM/CAMF/.kolvex-copy-OTHER0001.MP4.Xy34Zw", -60, false, true},
        {"DCIM/CAMF/.kolvex-copy-MOVA0030.MP4.Run9Ng", 3600, false, false}, // still being written
        {"DCIM/CAMF/.MOVA0010.MP4.abcdef", -3600, false, false},            // the user's own
        {"DCIM/CAMF/.kolvex-copy-link", -3600, true, false},
        {"DCIM/MOVIE/.kolvex-copy-MOVA0040.MOV.Qw56Er", -3600, false, false}, // not copied into
    };
    Scene s;
    for (const Leftover& l : leftovers) {
        const std::string path = s.TargetPath(l.path);
        QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
        if (l.link)
            ASSERT_EQ(::symlink("MOVA0010.MP4", path.c_str()), 0);
        else
            WriteFile(path, std::string(3000, 'p')); // a killed copy's data
        SetModified(path, l.modified);
    }
    const CardTree card = SnapshotTree(s.card.Root());
    CardTree expectedTarget =
        WithCopies(SnapshotTree(s.Target()), card,
                   {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMR/MOVA001R.MP4", "DCIM/CAMF/MOVG0020.MP4",
                    "DCIM/CAMR/MOVG002R.MP4", "DCIM/CAMF/MOVA0030.MP4"});
    for (const Leftover& l : leftovers) {
        if (l.removed)
            ExpectRemoved(expectedTarget, {l.path});
    }

    ASSERT_EQ(s.lib.manager.SaveCheckedTo(s.Target()), 1);

    EXPECT_EQ(TreeDifference(expectedTarget, SnapshotTree(s.Target())), "");
    EXPECT_EQ(TreeDifference(card, SnapshotTree(s.card.Root())), "");
    EXPECT_EQ(s.lib.manager.LastOperationReport().done, 5);
}

} // namespace
} // namespace kolvex::testing
