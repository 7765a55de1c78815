// Delete, unlock and save as from the window's buttons under faults: what
// the window says (its key words), what the library counted, and every
// file of the card and the target (checksums and modes) afterwards. The
// copy runs on a thread of its own; the library's write hook slows it or
// pulls the target away in the middle of a large file.
#include "card_tree.h"
#include "dual_card.h"
#include "fake_player_window.h"
#include "lists/media_open_dialog.h"
#include "scratch_mount.h"

#include "library/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

constexpr int64_t kLargeRear = 64 << 20; // MOVA0010's rear file, sparse

class WriteHookScope {
public:
    explicit WriteHookScope(CopyWriteHook hook) { SetCopyWriteHook(std::move(hook)); }
    ~WriteHookScope() { SetCopyWriteHook({}); }
};

bool HoldsCopyTemporary(const CardTree& tree) {
    for (const auto& [path, state] : tree) {
        if (path.substr(path.rfind('/') + 1).rfind(kCopyTemporaryPrefix, 0) == 0)
            return true;
    }
    return false;
}

struct Scene {
    TempCard card;
    QTemporaryDir targetRoot;
    std::unique_ptr<FakePlayerWindow> window;
    std::unique_ptr<ScratchMount> mount;
    QString Target() const { return targetRoot.path() + "/backup"; }
    std::string CardPath(const char* relative) const { return card.Path(relative); }
};

struct Fault {
    const char* name;
    int command;
    // Changes the card or the target before the command (the card is open).
    std::function<void(Scene&)> prepare;
    // Called from the copy's write hook with the bytes written to the large
    // rear file so far; may change the file system or ask for a cancel.
    std::function<void(Scene&, int64_t written, std::atomic<bool>& cancel)> duringLargeCopy;
    std::vector<QString> keyWords; // in the window's last message
    int done;
    int failed;
    int notAttempted;
    // The card's files as expected after the command, from those before.
    std::function<void(CardTree&)> cardAfter;
    // The target's files (below the target folder) expected afterwards.
    std::vector<std::string> copies;
};

void Unlink(Scene& s, const char* relative) {
    ASSERT_EQ(::unlink(s.CardPath(relative).c_str()), 0);
}

TEST(FileOperationFaultsTest, EachOperationSaysWhatItDidNotDoAndWhy) {
    ASSERT_TRUE(fake().loaded());
    const std::vector<Fault> faults = {
        {"delete of a vanished file",
         IDC_DELETE,
         [](Scene& s) { Unlink(s, "DCIM/CAMF/MOVA0010.MP4"); },
         nullptr,
         {"MOVA0010.MP4 was not deleted: the file is no longer there"},
         3,
         2,
         0,
         [](CardTree& t) {
             ExpectRemoved(
                 t, {"DCIM/CAMF/MOVG0020.MP4", "DCIM/CAMR/MOVG002R.MP4", "DCIM/CAMF/MOVA0030.MP4"});
         },
         {}},
        {"unlock onto an existing front name",
         IDC_UNLOCK,
         [](Scene& s) { s.card.AddFile("DCIM/CAMF/MOV_0020.MP4", "another recording"); },
         nullptr,
         {"MOVG0020.MP4 was not unlocked: a file named MOV_0020.MP4 already exists"},
         3,
         2,
         0,
         [](CardTree&) {},
         {}},
        {"unlock onto an existing rear name",
         IDC_UNLOCK,
         [](Scene& s) { s.card.AddFile("DCIM/CAMR/MOV_002R.MP4", "another rear view"); },
         nullptr,
         {"MOVG0020.MP4 was not unlocked: a file named MOV_002R.MP4 already exists"},
         3,
         2,
         0,
         [](CardTree&) {},
         {}},
        {"copy to a full target",
         IDC_SAVE_AS,
         [](Scene& s) {
             s.mount = std::make_unique<ScratchMount>(s.Target(), "size=64k");
             if (!s.mount->Mounted()) {
                 // Without the right to mount, the hook fills the disk.
                 std::cout << "[  NOTE    ] no scratch mount (" << s.mount->Error()
                           << "): the write hook reports a full disk\n";
                 SetCopyWriteHook([](const QString&) { return false; });
                 return;
             }
             const int fd = ::open((s.Target() + "/filler").toLocal8Bit().constData(),
                                   O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
             const std::string block(4096, 'f');
             while (::write(fd, block.data(), block.size()) > 0) {
             }
             ::close(fd);
         },
         nullptr,
         {"MOVA0010.MP4 was not copied: the disk is full",
          "MOVG0020.MP4 was not copied: the disk is full",
          "MOVA0030.MP4 was not copied: the disk is full", "0 of 5 files were copied to"},
         0,
         5,
         0,
         [](CardTree&) {},
         {}},
        {"copy cancelled halfway through a large file",
         IDC_SAVE_AS,
         nullptr,
         [](Scene&, int64_t written, std::atomic<bool>& cancel) {
             if (written >= kLargeRear / 2)
                 cancel = true;
         },
         {"The copy was cancelled.", "1 of 5 files were copied to"},
         1,
         0,
         4,
         [](CardTree&) {},
         {"DCIM/CAMF/MOVA0010.MP4"}},
        {"target removed halfway through a large file",
         IDC_SAVE_AS,
         nullptr,
         [](Scene& s, int64_t written, std::atomic<bool>&) {
             if (written >= kLargeRear / 2)
                 QDir(s.Target()).removeRecursively();
         },
         {"The target folder was removed or replaced during the copy", "files not copied: 4",
          "1 of 5 files were copied to"},
         1,
         0,
         4,
         [](CardTree&) {},
         {}},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        fake().reset();
        Scene s;
        WriteDualCard(s.card);
        ASSERT_EQ(::truncate(s.CardPath("DCIM/CAMR/MOVA001R.MP4").c_str(), kLargeRear), 0);
        QDir().mkpath(s.Target());
        s.window = std::make_unique<FakePlayerWindow>();
        s.window->OpenSource(CMediaOpenDialog::kSourceFolder, s.card.Root());
        ASSERT_EQ(s.window->m_recordings.Entries().size(), 4u);
        QAbstractItemModel* groups = s.window->m_groupList.model();
        groups->setData(groups->index(0, 0), Qt::Checked, Qt::CheckStateRole);
        if (f.prepare)
            f.prepare(s);
        const CardTree before = SnapshotTree(s.card.Root());
        CardTree expectedCard = before;
        f.cardAfter(expectedCard);
        s.window->m_saveFolder = s.Target();

        // The hook runs on the copying thread; a cancel is asked for on
        // the window's thread, as Escape would.
        std::atomic<bool> cancel{false};
        std::atomic<int64_t> largeWritten{0};
        std::unique_ptr<WriteHookScope> hook;
        if (f.duringLargeCopy) {
            hook = std::make_unique<WriteHookScope>([&](const QString& target) {
                if (target.endsWith("MOVA001R.MP4")) {
                    f.duringLargeCopy(s, largeWritten, cancel);
                    largeWritten += 1 << 20;
                    // Slow enough for the window to answer before the end.
                    if (cancel)
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                return true;
            });
        }
        QTimer escape;
        bool escapePressed = false;
        QObject::connect(&escape, &QTimer::timeout, [&] {
            if (cancel && !escapePressed) {
                escapePressed = true;
                QTest::keyClick(s.window.get(), Qt::Key_Escape);
            }
        });
        escape.start(5);
        BoxAnswer answer(QMessageBox::Ok);
        s.window->OnCommand(f.command);
        SetCopyWriteHook({});
        s.mount.reset();

        ASSERT_FALSE(answer.m_texts.isEmpty());
        const QString message = answer.m_texts.back();
        for (const QString& words : f.keyWords)
            EXPECT_TRUE(message.contains(words))
                << message.toStdString() << "\n  lacks: " << words.toStdString();
        const FileOperationReport& report = s.window->m_recordings.LastOperationReport();
        EXPECT_EQ(report.done, f.done);
        EXPECT_EQ(report.failed, f.failed);
        EXPECT_EQ(report.notAttempted, f.notAttempted);
        EXPECT_EQ(TreeDifference(expectedCard, SnapshotTree(s.card.Root())), "");
        if (f.command == IDC_SAVE_AS) {
            const CardTree target =
                QFileInfo::exists(s.Target()) ? SnapshotTree(s.Target()) : CardTree{};
            EXPECT_FALSE(HoldsCopyTemporary(target));
            std::vector<std::string> copies;
            for (const auto& [path, state] : target) {
                if (path != "filler")
                    copies.push_back(path);
            }
            EXPECT_EQ(copies, f.copies);
            for (const std::string& copy : f.copies)
                EXPECT_EQ(target.at(copy), before.at(copy)) << copy;
        }
    }
}

// A copy that goes well says how many files went where; the question
// before a delete says how many recordings and files it removes.
TEST(FileOperationFaultsTest, SuccessIsSaidAndDeleteCountsFirst) {
    ASSERT_TRUE(fake().loaded());
    fake().reset();
    TempCard card;
    WriteDualCard(card);
    QTemporaryDir target;
    FakePlayerWindow window;
    window.OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
    QAbstractItemModel* groups = window.m_groupList.model();
    groups->setData(groups->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    window.m_saveFolder = target.path() + "/";
    {
        // At once after the open: the first recording has not started yet.
        const size_t before = fake().log().size();
        BoxAnswer answer(QMessageBox::Ok);
        window.OnCommand(IDC_SAVE_AS);
        ASSERT_EQ(answer.m_texts.size(), 1);
        EXPECT_EQ(answer.m_text,
                  QStringLiteral("5 of 5 files were copied to %1.").arg(target.path()));
        // Save as stops playback; the start the open had planned does not
        // come afterwards either.
        QTest::qWait(800);
        EXPECT_EQ(fake().log().substr(before).find("media_player_play("), std::string::npos)
            << fake().log().substr(before);
    }
    BoxAnswer answer(QMessageBox::Cancel);
    window.OnCommand(IDC_DELETE);
    ASSERT_EQ(answer.m_texts.size(), 1);
    EXPECT_TRUE(answer.m_text.endsWith(
        QStringLiteral("This deletes 3 recordings: 5 files, rear camera files included.")))
        << answer.m_text.toStdString();
    EXPECT_TRUE(QFileInfo::exists(card.Root() + "/DCIM/CAMF/MOVA0010.MP4"));
}

// The copy asks from its own thread; the window asks one question at a
// time, in the copy's order, and each answer holds for its file alone.
TEST(FileOperationFaultsTest, OverwriteQuestionsComeInOrderWithTheirAnswers) {
    ASSERT_TRUE(fake().loaded());
    fake().reset();
    TempCard card;
    WriteDualCard(card);
    QTemporaryDir target;
    for (const char* name : {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMF/MOVG0020.MP4"}) {
        QDir().mkpath(target.path() + "/DCIM/CAMF");
        QFile old(target.path() + "/" + name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("older copy");
    }
    FakePlayerWindow window;
    window.OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
    QAbstractItemModel* groups = window.m_groupList.model();
    groups->setData(groups->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    window.m_saveFolder = target.path();
    // Keeps the first file, replaces the second; then answers the closing box.
    QStringList texts;
    QPointer<QMessageBox> answered;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == answered)
            return;
        answered = box;
        texts << box->text();
        box->button(texts.size() == 1 ? QMessageBox::Cancel : QMessageBox::Ok)->click();
    });
    answer.start(5);
    window.OnCommand(IDC_SAVE_AS);
    ASSERT_EQ(texts.size(), 3);
    const QString folder = target.path() + "/DCIM/CAMF/";
    EXPECT_TRUE(texts[0].contains("\"" + folder + "MOVA0010.MP4\"")) << texts[0].toStdString();
    EXPECT_TRUE(texts[1].contains("\"" + folder + "MOVG0020.MP4\"")) << texts[1].toStdString();
    EXPECT_TRUE(texts[2].startsWith("3 of 5 files were copied to ")) << texts[2].toStdString();
    EXPECT_TRUE(texts[2].contains("MOVA0010.MP4 was not copied: the existing file was kept"));
    QFile kept(folder + "MOVA0010.MP4");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("older copy"));
    EXPECT_EQ(QFileInfo(folder + "MOVG0020.MP4").size(),
              QFileInfo(card.Root() + "/DCIM/CAMF/MOVG0020.MP4").size());
    EXPECT_FALSE(QFileInfo::exists(folder + "MOVA001R.MP4")); // kept with its front file
}

} // namespace
} // namespace kolvex::testing
