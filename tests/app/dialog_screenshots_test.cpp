// The open dialog, the configuration dialog, the About box and the two
// lists in English, Russian and Chinese: each checked for cut and
// overlapping texts and written as a PNG for a person to look at.
#include "dialog_checks.h"

#include "app/about_dlg.h"
#include "lists/file_list_ctrl.h"
#include "lists/group_list_ctrl.h"
#include "lists/media_open_dialog.h"
#include "settings/app_settings.h"
#include "settings/dialog/tavlo_config_dlg.h"
#include "settings/language_table.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include <ctime>

namespace kolvex::testing {
namespace {

class SampleOpenDialog : public CMediaOpenDialog {
protected:
    std::vector<VolumeInfo> ListVolumes() const override {
        return {{"/", "/dev/sda2", "ext4", "", true, true, false, false},
                {"/media/anna/CAMERA", "/dev/sdb1", "vfat", "CAMERA", true, true, false, true}};
    }
};

// The lists as the window shows them, with a few rows.
class SampleLists : public QWidget {
public:
    SampleLists() {
        resize(720, 330);
        groups.setGeometry(0, 0, 720, 120);
        files.setGeometry(0, 125, 720, 205);
        groups.SetReportStyle();
        groups.AttachLockImages();
        groups.InitColumns();
        files.SetReportStyle();
        files.AttachLockImages();
        files.InitColumns();
        const int64_t start = 1433145600; // 2015-06-01 10:00 in Berlin
        for (int g = 0; g < 3; ++g) {
            groups.AddGroup(g, "1920x1080", 180000, 270000000, g, start + g * 3600);
            for (int i = 0; i < 3; ++i)
                files.AddFile(g, i, "/media/anna/CAMERA/DCIM/",
                              QStringLiteral("FIL%1%2.MOV")
                                  .arg(g == 1 ? 'G' : 'E')
                                  .arg(g * 3 + i, 4, 10, QLatin1Char('0')),
                              60000, 90000000, g == 1 ? 1 : 0, start + g * 3600 + i * 60);
        }
        groups.SetDropHighlight(1, true);
        files.SetDropHighlight(4, true);
    }
    CKolvexGroupListCtrl groups{this};
    CKolvexFileListCtrl files{this};
};

class DialogScreenshotsTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        QDir().mkpath(QStringLiteral(KOLVEX_SCREENSHOT_DIR));
        CAppSettings::GetInstance().SetLanguage(FindLanguageIndex(QString::fromLatin1(GetParam())));
    }
    void TearDown() override { CAppSettings::GetInstance().SetLanguage(kEnglishIndex); }

    // Shows `widget`, checks its layout (for dialogs) and writes its picture.
    void Shoot(QWidget& widget, const char* what, bool checkLayout = true) {
        widget.show();
        QApplication::processEvents();
        if (checkLayout) {
            for (const std::string& fault : LayoutFaults(widget))
                ADD_FAILURE() << what << " " << GetParam() << ": " << fault;
        }
        const QString path = QStringLiteral(KOLVEX_SCREENSHOT_DIR "/%1-%2.png")
                                 .arg(QString::fromLatin1(what), QString::fromLatin1(GetParam()));
        EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
        widget.hide();
    }
};

TEST_P(DialogScreenshotsTest, OpenDialog) {
    SampleOpenDialog dialog;
    Shoot(dialog, "open-dialog");
}

TEST_P(DialogScreenshotsTest, ConfigurationDialog) {
    CTavloConfigDlg dialog;
    Shoot(dialog, "config-dialog");
}

TEST_P(DialogScreenshotsTest, AboutBox) {
    CAboutDlg about;
    Shoot(about, "about-box");
}

TEST_P(DialogScreenshotsTest, Lists) {
    SampleLists lists;
    Shoot(lists, "lists", false);
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogScreenshotsTest, ::testing::Values("ENG", "RUS", "CHS"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace kolvex::testing
