// Delete, save as, unlock and KML from the window's buttons: their
// confirmations and messages (answered by the test) and what they do to
// the card's files.
#include "card_fixture.h"
#include "fake_player_window.h"
#include "lists/media_open_dialog.h"
#include "scratch_mount.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake().loaded());
        fake().reset();
        card.AddRecording("DCIM/MOVA0010.MP4", "2015-06-01 10:00:00");
        window = std::make_unique<FakePlayerWindow>();
    }
    void OpenCardAndTickGroup() {
        window->OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
        ASSERT_EQ(window->m_recordings.Entries().size(), 1u);
        QAbstractItemModel* groups = window->m_groupList.model();
        groups->setData(groups->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    }
    QString Recording() const { return card.Root() + "/DCIM/MOVA0010.MP4"; }

    TempCard card;
    std::unique_ptr<FakePlayerWindow> window;
};

TEST_F(FileCommandsTest, EveryCommandSaysWhenTheListIsEmpty) {
    for (int command : {IDC_DELETE, IDC_SAVE_AS, IDC_UNLOCK, IDC_KML}) {
        BoxAnswer answer(QMessageBox::Ok);
        window->OnCommand(command);
        EXPECT_EQ(answer.m_texts.size(), 1) << command;
        EXPECT_EQ(answer.m_text, QStringLiteral("No files in list.")) << command;
    }
}

TEST_F(FileCommandsTest, DeleteAsksFirstAndKeepsTheFileOnCancel) {
    OpenCardAndTickGroup();
    {
        BoxAnswer answer(QMessageBox::Cancel);
        window->OnCommand(IDC_DELETE);
        EXPECT_EQ(answer.m_text, QStringLiteral("Are you sure to delete the checked files?\n\n"
                                                "This deletes 1 recordings: 1 files, rear camera "
                                                "files included."));
    }
    EXPECT_TRUE(QFile::exists(Recording()));
    EXPECT_EQ(window->m_frontFrame.m_bIdle, 1);
    BoxAnswer answer(QMessageBox::Ok);
    window->OnCommand(IDC_DELETE);
    EXPECT_FALSE(QFile::exists(Recording()));
}

TEST_F(FileCommandsTest, NothingTickedIsSaid) {
    window->OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
    BoxAnswer answer(QMessageBox::Ok);
    window->OnCommand(IDC_UNLOCK);
    EXPECT_TRUE(answer.m_text.startsWith(QStringLiteral("No selected files.")))
        << answer.m_text.toStdString();
}

TEST_F(FileCommandsTest, SaveAsCopiesIntoAFolderAndRefusesAMissingOne) {
    OpenCardAndTickGroup();
    QTemporaryDir target;
    window->m_saveFolder = target.path() + "/missing";
    {
        BoxAnswer answer(QMessageBox::Ok);
        window->OnCommand(IDC_SAVE_AS);
        EXPECT_EQ(answer.m_text, QStringLiteral("Folder is not exist."));
    }
    window->m_saveFolder = target.path();
    BoxAnswer answer(QMessageBox::Ok);
    window->OnCommand(IDC_SAVE_AS);
    EXPECT_EQ(answer.m_texts,
              QStringList{QStringLiteral("1 of 1 files were copied to %1.").arg(target.path())});
    EXPECT_TRUE(QFile::exists(target.path() + "/DCIM/MOVA0010.MP4"))
        << QDir(target.path()).entryList().join(' ').toStdString();
    EXPECT_TRUE(QFile::exists(Recording()));
}

// A target that takes nothing: the window says which file was not copied
// and why, and the card is as it was.
TEST_F(FileCommandsTest, SaveAsIntoAFullOrReadOnlyFolderSaysWhatWasNotCopied) {
    struct Case {
        const char* name;
        bool readOnly;
        const char* reason;
    };
    for (const Case& c : {Case{"full", false, "the disk is full"},
                          Case{"read-only", true, "the disk or folder is read-only"}}) {
        SCOPED_TRACE(c.name);
        QTemporaryDir target;
        ScratchMount mount(target.path(), "size=64k", c.readOnly);
        if (!mount.Mounted()) {
            std::cout << "[  SKIPPED ] " << c.name << ": " << mount.Error() << "\n";
            continue;
        }
        if (!c.readOnly) {
            const int fd = ::open(QFile::encodeName(target.path() + "/filler").constData(),
                                  O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0);
            const QByteArray block(4096, 'f');
            while (::write(fd, block.constData(), static_cast<size_t>(block.size())) > 0) {
            }
            ::close(fd);
        }
        QFile recording(Recording());
        ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
        const QByteArray before = recording.readAll();
        recording.close();
        OpenCardAndTickGroup();
        window->m_saveFolder = target.path();
        BoxAnswer answer(QMessageBox::Ok);
        window->OnCommand(IDC_SAVE_AS);
        ASSERT_EQ(answer.m_texts.size(), 1);
        EXPECT_EQ(answer.m_text, QStringLiteral("0 of 1 files were copied to %1.\n\n"
                                                "MOVA0010.MP4 was not copied: %2")
                                     .arg(target.path(), QString::fromUtf8(c.reason)));
        EXPECT_FALSE(QFile::exists(target.path() + "/DCIM/MOVA0010.MP4"));
        ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
        EXPECT_EQ(recording.readAll(), before);
    }
}

// A card whose only recordings cannot be read (empty, random bytes, cut
// short) says so instead of opening with empty lists; a folder without any
// recording name says nothing.
TEST_F(FileCommandsTest, ACardOfDamagedFilesSaysNothingPlayableWasFound) {
    TempCard damaged;
    damaged.AddFile("DCIM/MOVA0010.MP4", "");
    damaged.AddFile("DCIM/MOVA0020.MP4", std::string("\x13\x57\x9b\xdf random bytes", 20));
    QFile recording(Recording());
    ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
    damaged.AddFile("DCIM/MOVA0030.MP4", recording.read(100).toStdString()); // cut short
    damaged.AddFile("DCIM/notes.txt", "not a recording");
    ASSERT_EQ(::mkfifo(damaged.Path("DCIM/MOVA0040.MP4").c_str(), 0644), 0);
    {
        BoxAnswer answer(QMessageBox::Ok);
        window->OpenSource(CMediaOpenDialog::kSourceFolder, damaged.Root());
        EXPECT_TRUE(window->m_recordings.Entries().empty());
        EXPECT_EQ(answer.m_texts,
                  QStringList{QStringLiteral("Nothing playable was found in %1. Files that could "
                                             "not be read: 3.")
                                  .arg(damaged.Root())});
    }
    {
        BoxAnswer answer(QMessageBox::Ok);
        window->OpenSource(CMediaOpenDialog::kSourceFile, damaged.Root() + "/DCIM/MOVA0030.MP4");
        EXPECT_EQ(answer.m_texts.size(), 1);
        EXPECT_TRUE(answer.m_text.endsWith(QStringLiteral("could not be read: 1.")));
    }
    QTemporaryDir plain;
    BoxAnswer answer(QMessageBox::Ok);
    window->OpenSource(CMediaOpenDialog::kSourceFolder, plain.path());
    QTest::qWait(50);
    EXPECT_TRUE(answer.m_texts.isEmpty());
}

// The track goes to Documents/KOLVEX/KML, made when missing; without a
// home folder the window says that it could not write, and writes nowhere.
TEST_F(FileCommandsTest, KmlGoesIntoTheDocumentsFolderOrSaysWhyNot) {
    struct Case {
        const char* name;
        bool homeSet;
        bool documentsExist;
    };
    OpenCardAndTickGroup();
    window->m_recordings.LoadRecordingData(0);
    const QByteArray oldHome = qgetenv("HOME");
    for (const Case& c :
         {Case{"documents folder there", true, true}, Case{"documents folder missing", true, false},
          Case{"no home folder", false, false}}) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        if (c.documentsExist)
            QDir(home.path()).mkpath(QStringLiteral("Documents"));
        if (c.homeSet)
            qputenv("HOME", home.path().toUtf8());
        else
            qunsetenv("HOME");
        BoxAnswer answer(QMessageBox::Ok);
        window->OnCommand(IDC_KML);
        qputenv("HOME", oldHome);
        ASSERT_EQ(answer.m_texts.size(), 1);
        const QStringList written =
            QDir(home.path() + "/Documents/KOLVEX/KML").entryList({QStringLiteral("*.KML")});
        if (c.homeSet) {
            EXPECT_TRUE(answer.m_text.endsWith(QStringLiteral(" OK.")))
                << answer.m_text.toStdString();
            EXPECT_EQ(written.size(), 1);
        } else {
            EXPECT_EQ(answer.m_text, LoadLangString(126).replace(QStringLiteral("%s"), QString()))
                << answer.m_text.toStdString();
            EXPECT_TRUE(written.isEmpty());
            EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/Documents/KOLVEX")));
        }
    }
}

// A right-click on the KML button offers KML and GPX; GPX goes beside the
// KML folder, a dismissed menu writes nothing.
TEST_F(FileCommandsTest, TheKmlButtonsMenuAlsoWritesGpx) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    OpenCardAndTickGroup();
    window->m_recordings.SelectFile(0);
    window->m_recordings.LoadRecordingData(0);
    const QPoint at = window->m_btnKml.rect().center();
    emit window->m_btnKml.customContextMenuRequested(at);
    EXPECT_EQ(window->m_exportEntries, QStringList({LoadLangString(StringId::TipSaveKml),
                                                    LoadLangString(StringId::TipSaveGpx)}));
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/Documents/KOLVEX"));

    window->m_exportChoice = 1;
    BoxAnswer answer(QMessageBox::Ok);
    emit window->m_btnKml.customContextMenuRequested(at);
    qputenv("HOME", oldHome);
    ASSERT_EQ(answer.m_texts.size(), 1);
    EXPECT_TRUE(answer.m_text.endsWith(QStringLiteral(".GPX OK."))) << answer.m_text.toStdString();
    const QStringList written =
        QDir(home.path() + "/Documents/KOLVEX/GPX").entryList({QStringLiteral("*.GPX")});
    ASSERT_EQ(written.size(), 1);
    QFile gpx(home.path() + "/Documents/KOLVEX/GPX/" + written[0]);
    ASSERT_TRUE(gpx.open(QIODevice::ReadOnly));
    EXPECT_TRUE(gpx.readAll().contains("<gpx"));
}

} // namespace
} // namespace kolvex::testing
