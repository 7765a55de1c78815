// The open dialog: the drive list from mounted volumes, the three sources,
// OK and Cancel, the remembered folder and the folder browser.
#include "lists/folder_dialog.h"
#include "lists/media_open_dialog.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace kolvex::testing {
namespace {

// A USB card with a label, one without, the root file system, a tmpfs, a
// network share, a read-only disc image, a package image and an empty
// card reader.
std::vector<VolumeInfo> FakeVolumes() {
    std::vector<VolumeInfo> v(8);
    v[0] = {"/", "/dev/sda2", "ext4", "", true, true, false, false};
    v[1] = {"/media/anna/CAMERA", "/dev/sdb1", "vfat", "CAMERA", true, true, false, true};
    v[2] = {"/tmp", "tmpfs", "tmpfs", "", true, true, false, false};
    v[3] = {"/home/anna/nas", "nas.local:/export", "nfs4", "", true, true, false, false};
    v[4] = {"/media/anna/1234-ABCD", "/dev/sdc1", "exfat", "", true, true, false, true};
    v[5] = {"/srv/iso", "/dev/loop0", "iso9660", "TRIP_2015", true, true, true, false};
    v[6] = {"/snap/core22/1380", "/dev/loop1", "squashfs", "", true, true, true, false};
    v[7] = {"/media/anna/EMPTY", "/dev/sdd", "vfat", "", true, false, false, true};
    return v;
}

TEST(DriveListTest, RealReadyVolumesWithRemovableMediaFirst) {
    std::vector<QString> texts, mounts;
    for (const DriveItem& item : BuildDriveItems(FakeVolumes())) {
        texts.push_back(item.text);
        mounts.push_back(item.mountPoint);
    }
    EXPECT_EQ(texts,
              (std::vector<QString>{"/media/anna/1234-ABCD", "/media/anna/CAMERA    [CAMERA]", "/",
                                    "/srv/iso    [TRIP_2015]"}));
    EXPECT_EQ(mounts[1], "/media/anna/CAMERA");
    // A removable disk mounted elsewhere and a plain disk under /mnt also
    // come first.
    std::vector<VolumeInfo> more = {
        {"/data", "/dev/sde1", "ext4", "", true, true, false, false},
        {"/srv/card", "/dev/mmcblk0p1", "vfat", "", true, true, false, true},
        {"/mnt/backup", "/dev/sdf1", "ext4", "", true, true, false, false},
    };
    const std::vector<DriveItem> items = BuildDriveItems(more);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "/mnt/backup");
    EXPECT_EQ(items[1].text, "/srv/card");
    EXPECT_EQ(items[2].text, "/data");
    EXPECT_TRUE(BuildDriveItems({}).empty());
}

// The dialog over fake volumes and scripted pickers.
class ScriptedOpenDialog : public CMediaOpenDialog {
public:
    std::vector<VolumeInfo> volumes = FakeVolumes();
    QString file;
    int folderResult = CFolderDialog::kCancelled;
    QString folder;
    QString offeredFolder;

protected:
    std::vector<VolumeInfo> ListVolumes() const override { return volumes; }
    QString PickFile() override { return file; }
    int PickFolder(const QString& initial, QString& chosen) override {
        offeredFolder = initial;
        chosen = folder;
        return folderResult;
    }
};

class OpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings().SetLanguage(kEnglishIndex);
        settings().WriteString(KolvexIni::kSectionUI, KolvexIni::kFolder, QString());
    }
    static CAppSettings& settings() { return CAppSettings::GetInstance(); }
    QTemporaryDir scratch;
};

TEST_F(OpenDialogTest, OkWithoutTouchingAnythingIsAnEmptyFile) {
    ScriptedOpenDialog dialog;
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.windowTitle(), "Select a media");
    EXPECT_EQ(dialog.m_radioFolder->text(), "Folder");
    EXPECT_TRUE(dialog.m_radioFile->isChecked());
    EXPECT_TRUE(dialog.m_editFile->isReadOnly());
    EXPECT_TRUE(dialog.m_editFolder->isReadOnly());
    ASSERT_EQ(dialog.m_cbDrive->count(), 4);
    EXPECT_EQ(dialog.m_cbDrive->currentIndex(), 0);
    QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_nSource, CMediaOpenDialog::kSourceFile);
    EXPECT_TRUE(dialog.m_strFile.isEmpty());
    EXPECT_EQ(dialog.m_strDrive, "/media/anna/1234-ABCD");
}

TEST_F(OpenDialogTest, DiskSourceReturnsTheMountPointAndIsOfferedAgain) {
    {
        ScriptedOpenDialog dialog;
        dialog.OnInitDialog();
        QTest::mouseClick(dialog.m_radioDisk, Qt::LeftButton);
        dialog.m_cbDrive->setCurrentIndex(1);
        QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
        EXPECT_EQ(dialog.m_nSource, CMediaOpenDialog::kSourceDisk);
        EXPECT_EQ(dialog.m_strDrive, "/media/anna/CAMERA");
    }
    ScriptedOpenDialog again;
    again.OnInitDialog();
    EXPECT_EQ(again.m_cbDrive->currentText(), "/media/anna/CAMERA    [CAMERA]");
    // No usable drive: nothing selected and an empty drive.
    ScriptedOpenDialog none;
    none.volumes.clear();
    none.OnInitDialog();
    EXPECT_EQ(none.m_cbDrive->currentIndex(), -1);
    QTest::mouseClick(none.m_radioDisk, Qt::LeftButton);
    QTest::mouseClick(none.m_btnOk, Qt::LeftButton);
    EXPECT_EQ(none.m_nSource, CMediaOpenDialog::kSourceDisk);
    EXPECT_TRUE(none.m_strDrive.isEmpty());
}

TEST_F(OpenDialogTest, FileSourceTakesThePickedFile) {
    ScriptedOpenDialog dialog;
    dialog.OnInitDialog();
    QTest::mouseClick(dialog.m_radioFolder, Qt::LeftButton);
    QTest::mouseClick(dialog.m_btnBrowseFile, Qt::LeftButton); // the picker is cancelled
    EXPECT_TRUE(dialog.m_radioFolder->isChecked());
    dialog.file = "/media/anna/CAMERA/DCIM/FILE0001.MOV";
    QTest::mouseClick(dialog.m_btnBrowseFile, Qt::LeftButton);
    EXPECT_TRUE(dialog.m_radioFile->isChecked());
    EXPECT_EQ(dialog.m_editFile->text(), dialog.file);
    QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
    EXPECT_EQ(dialog.m_nSource, CMediaOpenDialog::kSourceFile);
    EXPECT_EQ(dialog.m_strFile, dialog.file);
}

TEST_F(OpenDialogTest, FolderSourceRemembersTheFolderEvenAfterCancel) {
    const QString folder = scratch.path();
    {
        ScriptedOpenDialog dialog;
        dialog.OnInitDialog();
        EXPECT_TRUE(dialog.m_editFolder->text().isEmpty());
        dialog.folderResult = CFolderDialog::kChosen;
        dialog.folder = folder;
        QTest::mouseClick(dialog.m_btnBrowseFolder, Qt::LeftButton);
        EXPECT_TRUE(dialog.m_radioFolder->isChecked());
        EXPECT_EQ(settings().ReadLastFolder(), folder);
        QTest::mouseClick(dialog.m_btnCancel, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    ScriptedOpenDialog dialog;
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.m_editFolder->text(), folder);
    QTest::mouseClick(dialog.m_btnBrowseFolder, Qt::LeftButton); // cancelled
    EXPECT_EQ(dialog.offeredFolder, folder);
    EXPECT_TRUE(dialog.m_radioFile->isChecked());
    QTest::mouseClick(dialog.m_radioFolder, Qt::LeftButton);
    QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
    EXPECT_EQ(dialog.m_nSource, CMediaOpenDialog::kSourceFolder);
    EXPECT_EQ(dialog.m_strFolder, folder);
}

TEST_F(OpenDialogTest, AFolderThatIsGoneIsNotRemembered) {
    const QString gone = scratch.path() + "/gone";
    ASSERT_TRUE(QDir().mkdir(gone));
    settings().WriteString(KolvexIni::kSectionUI, KolvexIni::kFolder, gone);
    ASSERT_TRUE(QDir().rmdir(gone));
    ScriptedOpenDialog dialog;
    dialog.OnInitDialog();
    EXPECT_TRUE(dialog.m_editFolder->text().isEmpty());

    // A path the browser returns that does not exist is stored empty.
    dialog.folderResult = CFolderDialog::kChosen;
    dialog.folder = gone;
    QTest::mouseClick(dialog.m_btnBrowseFolder, Qt::LeftButton);
    EXPECT_EQ(dialog.m_editFolder->text(), gone);
    EXPECT_TRUE(dialog.m_strFolder.isEmpty());
    EXPECT_TRUE(settings().ReadString(KolvexIni::kSectionUI, KolvexIni::kFolder).isEmpty());
    // A folder without a local path counts as not chosen.
    dialog.folderResult = CFolderDialog::kNoPath;
    dialog.folder = scratch.path();
    QTest::mouseClick(dialog.m_btnBrowseFolder, Qt::LeftButton);
    EXPECT_EQ(dialog.m_editFolder->text(), gone);
}

// Runs `step` on the modal dialog as soon as it is up.
void OnModal(std::function<void(QFileDialog*)> step) {
    QTimer::singleShot(0, [step] {
        auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(browser, nullptr);
        step(browser);
    });
}

TEST_F(OpenDialogTest, FolderBrowserReturnsTheChosenFolder) {
    ASSERT_TRUE(QDir(scratch.path()).mkdir("DCIM"));
    const QString dcim = scratch.path() + "/DCIM";
    CFolderDialog browser(nullptr, "Select a folder", scratch.path());
    OnModal([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Select a folder");
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(scratch.path()).canonicalPath());
        EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
        dialog->setDirectory(dcim);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(browser.DoModal(), CFolderDialog::kChosen);
    EXPECT_EQ(QDir(browser.PathName()).canonicalPath(), QDir(dcim).canonicalPath());

    OnModal([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(browser.DoModal(), CFolderDialog::kCancelled);
    EXPECT_TRUE(browser.PathName().isEmpty());
}

TEST_F(OpenDialogTest, FileFilterTakesRecordingsInEitherCase) {
    for (const char* name :
         {"FILE0001.MOV", "clip.mp4", "EVNG0002.AVI", "x.3gp", "notes.txt", "FILE0001.MOV.part"}) {
        QFile file(scratch.path() + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QStringList patterns = RecordingFileFilter().split(' ');
    QStringList listed = QDir(scratch.path()).entryList(patterns, QDir::Files, QDir::Name);
    EXPECT_EQ(listed, QStringList({"EVNG0002.AVI", "FILE0001.MOV", "clip.mp4", "x.3gp"}));
}

} // namespace
} // namespace kolvex::testing
