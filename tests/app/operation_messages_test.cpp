// The file operations' messages: each file named with its reason where few
// were not handled, counted per reason where many were, and every new
// message as the user sees it in English and German (pictures written to
// <build>/screenshots for a person to look at).
#include "app/file_operation_messages.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <cerrno>

namespace kolvex::testing {
namespace {

FileProblemNote Note(const char* path, FileProblem problem, int error = 0, int files = 1,
                     const char* other = "") {
    return FileProblemNote{QString::fromUtf8(path), problem, error, files,
                           QString::fromUtf8(other)};
}

FileOperationReport Report(FileOperation operation, int requested, int done,
                           std::vector<FileProblemNote> problems) {
    FileOperationReport report;
    report.operation = operation;
    report.requested = requested;
    report.done = done;
    report.failed = requested - done;
    report.problems = std::move(problems);
    report.destination = QStringLiteral("/media/backup/2026-05");
    return report;
}

TEST(OperationMessagesTest, FewFilesAreNamedManyAreCountedPerReason) {
    CAppSettings::GetInstance().SetLanguage(kEnglishIndex);
    struct Case {
        const char* name;
        FileOperationReport report;
        QString expected; // "" when nothing is said
        bool warning;
    };
    std::vector<FileProblemNote> many;
    for (int i = 0; i < 4; ++i)
        many.push_back(Note("/card/DCIM/CAMF/MOVA0010.MP4", FileProblem::kVanished, 0, 2));
    many.push_back(Note("/card/DCIM/CAMF/MOVA0050.MP4", FileProblem::kSystem, EACCES));
    many.push_back(Note("/card/DCIM/CAMF/MOVA0060.MP4", FileProblem::kSystem, EROFS));
    const std::vector<Case> cases = {
        {"everything deleted", Report(FileOperation::kDelete, 3, 3, {}), "", false},
        {"one vanished",
         Report(FileOperation::kDelete, 3, 1,
                {Note("/card//DCIM/CAMF/MOVA0010.MP4", FileProblem::kVanished, 0, 2)}),
         "MOVA0010.MP4 was not deleted: the file is no longer there", true},
        {"two names taken",
         Report(FileOperation::kUnlock, 4, 2,
                {Note("/c/MOVG0020.MP4", FileProblem::kNameTaken, EEXIST, 1, "MOV_0020.MP4"),
                 Note("/c/MOVG0030.MP4", FileProblem::kNameTaken, EEXIST, 1, "MOV_003R.MP4")}),
         "MOVG0020.MP4 was not unlocked: a file named MOV_0020.MP4 already exists\n"
         "MOVG0030.MP4 was not unlocked: a file named MOV_003R.MP4 already exists",
         true},
        {"many counted per reason", Report(FileOperation::kDelete, 20, 10, many),
         "Files not deleted (8): the file is no longer there\n"
         "Files not deleted (1): permission denied\n"
         "Files not deleted (1): the disk or folder is read-only",
         true},
        {"a copy that went well", Report(FileOperation::kCopy, 5, 5, {}),
         "5 of 5 files were copied to /media/backup/2026-05.", false},
        {"a copy into a full disk",
         Report(FileOperation::kCopy, 2, 1,
                {Note("/c/MOVA0010.MP4", FileProblem::kSystem, ENOSPC)}),
         "1 of 2 files were copied to /media/backup/2026-05.\n\n"
         "MOVA0010.MP4 was not copied: the disk is full",
         true},
        {"an unknown refusal says the system's words",
         Report(FileOperation::kCopy, 1, 0, {Note("/c/MOVA0010.MP4", FileProblem::kSystem, EIO)}),
         "0 of 1 files were copied to /media/backup/2026-05.\n\n"
         "MOVA0010.MP4 was not copied: the system refused it (" +
             QString::fromLocal8Bit(strerror(EIO)) + ")",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OperationMessage message = OperationReportMessage(c.report);
        EXPECT_EQ(message.text, c.expected);
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(message.warning, c.warning);
        }
    }
}

TEST(OperationMessagesTest, ArgumentsAreNeverSearchedForPlaceholders) {
    EXPECT_EQ(WithArguments(QStringLiteral("%s was not copied: %s"),
                            {QStringLiteral("odd %s name.MP4"), QStringLiteral("why")}),
              QStringLiteral("odd %s name.MP4 was not copied: why"));
}

TEST(OperationMessagesTest, ProgressSaysFilesBytesAndTimeLeft) {
    CAppSettings::GetInstance().SetLanguage(kEnglishIndex);
    CopyProgress p;
    p.filesDone = 3;
    p.filesTotal = 8;
    p.bytesDone = 1'200'000'000;
    p.bytesTotal = 4'000'000'000;
    p.elapsedMs = 6000;
    EXPECT_EQ(CopyProgressText(p), QStringLiteral("3 of 8 files · 1.2 GB / 4.0 GB · 0:14 left"));
    p.elapsedMs = 100; // too early for a time
    EXPECT_EQ(CopyProgressText(p), QStringLiteral("3 of 8 files · 1.2 GB / 4.0 GB"));
}

// Every new message, in a message box, as a picture per language.
class OperationMessageScreenshots : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        QDir().mkpath(QStringLiteral(KOLVEX_SCREENSHOT_DIR));
        CAppSettings::GetInstance().SetLanguage(FindLanguageIndex(QString::fromLatin1(GetParam())));
    }
    void TearDown() override { CAppSettings::GetInstance().SetLanguage(kEnglishIndex); }
    void Shoot(const QString& caption, const QString& text, const char* what) {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok);
        box.show();
        QApplication::processEvents();
        const QString path = QStringLiteral(KOLVEX_SCREENSHOT_DIR "/message-%1-%2.png")
                                 .arg(QString::fromLatin1(what), QString::fromLatin1(GetParam()));
        EXPECT_TRUE(box.grab().save(path)) << path.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("%s"))) << what;
    }
    void Shoot(const FileOperationReport& report, const char* what) {
        const OperationMessage message = OperationReportMessage(report);
        Shoot(message.caption, message.text, what);
    }
};

TEST_P(OperationMessageScreenshots, EveryNewMessage) {
    Shoot(Report(FileOperation::kDelete, 5, 3,
                 {Note("/c/MOVA0010.MP4", FileProblem::kVanished, 0, 2)}),
          "delete-vanished");
    Shoot(Report(FileOperation::kUnlock, 5, 3,
                 {Note("/c/MOVG0020.MP4", FileProblem::kNameTaken, EEXIST, 2, "MOV_0020.MP4")}),
          "unlock-name-taken");
    std::vector<FileProblemNote> many;
    for (int i = 0; i < 6; ++i)
        many.push_back(
            Note("/c/MOVA0010.MP4", i < 4 ? FileProblem::kChanged : FileProblem::kSystem, EACCES));
    Shoot(Report(FileOperation::kDelete, 12, 6, many), "delete-many");
    Shoot(Report(FileOperation::kCopy, 5, 5, {}), "copy-done");
    Shoot(Report(FileOperation::kCopy, 5, 2,
                 {Note("/c/MOVA0030.MP4", FileProblem::kSystem, ENOSPC),
                  Note("/c/MOVG0020.MP4", FileProblem::kDeclined, 0, 2)}),
          "copy-full");
    FileOperationReport cancelled = Report(FileOperation::kCopy, 5, 1, {});
    cancelled.cancelled = true;
    Shoot(cancelled, "copy-cancelled");
    FileOperationReport lost = Report(FileOperation::kCopy, 5, 1, {});
    lost.targetLost = true;
    Shoot(lost, "copy-target-lost");
    Shoot(LoadLangString(StringId::DeleteCaption), DeleteQuestionText(3, 5), "delete-question");
    Shoot(LoadLangString(StringId::WarningCaption),
          WithArguments(LoadLangString(StringId::NothingPlayable),
                        {QStringLiteral("/media/anna/CAMERA"), QStringLiteral("4")}),
          "nothing-playable");
    Shoot(
        LoadLangString(StringId::WarningCaption),
        LoadLangString(StringId::VideoComponentFailed) + QStringLiteral("\n\n") +
            WithArguments(LoadLangString(StringId::LibraryTried), {QStringLiteral("libvlc.so.5")}),
        "libvlc-missing");
    Shoot(LoadLangString(StringId::TipSnapshot), LoadLangString(StringId::SnapshotUnavailable),
          "snapshot-unavailable");
    Shoot(QStringLiteral("KolvexPlayer"),
          LoadLangString(StringId::PlayerError) +
              QStringLiteral("\n\n/media/anna/CAMERA/DCIM/CAMF/MOVA0010.MP4"),
          "player-error");
    CopyProgress p;
    p.filesDone = 1;
    p.filesTotal = 5;
    p.bytesDone = 150'000'000;
    p.bytesTotal = 400'000'000;
    p.elapsedMs = 3000;
    Shoot(LoadLangString(StringId::TipSaveAs), CopyProgressText(p), "copy-progress-text");
}

INSTANTIATE_TEST_SUITE_P(Languages, OperationMessageScreenshots, ::testing::Values("ENG", "GER"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace kolvex::testing
