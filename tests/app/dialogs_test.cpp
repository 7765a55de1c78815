// The window's own dialogs: the About box with the build's version, the
// About command, and the lists set up and relabelled by the window.
#include "dialog_checks.h"
#include "test_window.h"

#include "app/about_dlg.h"
#include "app/window_messages.h"
#include "lists/media_open_dialog.h"
#include "settings/app_settings.h"
#include "settings/dialog/tavlo_config_dlg.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace kolvex::testing {
namespace {

TEST(AboutDialogTest, ShowsTheBuildsVersionAndDate) {
    const QString line = CAboutDlg::VersionLine();
    EXPECT_TRUE(line.contains(QStringLiteral(KOLVEX_VERSION))) << line.toStdString();
    EXPECT_TRUE(line.contains(QRegularExpression("\\(20\\d\\d-\\d\\d-\\d\\d\\)")))
        << line.toStdString();
    CAboutDlg about;
    EXPECT_EQ(about.m_version->text(), line);
    EXPECT_FALSE(about.m_icon->pixmap().isNull());
    EXPECT_TRUE(about.m_btnOk->isDefault());
    EXPECT_TRUE(LayoutFaults(about).empty());
}

TEST(AboutDialogTest, CaptionIsTheMenuTextWithoutMnemonicAndDots) {
    const struct {
        const char* menu;
        const char* caption;
    } cases[] = {
        {"&About KOLVEX...", "About KOLVEX"},
        {"关于 KOLVEX(&A)...", "关于 KOLVEX"},
        {"À &propos de KOLVEX...", "À propos de KOLVEX"},
        {"KOLVEX について(&A)...", "KOLVEX について"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CAboutDlg::CaptionFromMenuText(QString::fromUtf8(c.menu)).toStdString(),
                  c.caption);
}

class WindowDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { CAppSettings::GetInstance().SetLanguage(kEnglishIndex); }
    void TearDown() override { CAppSettings::GetInstance().SetLanguage(kEnglishIndex); }
};

TEST_F(WindowDialogsTest, TheAboutCommandRunsTheAboutBox) {
    TestWindow window;
    CAppSettings::GetInstance().SetLanguage(FindLanguageIndex("RUS"));
    QString title;
    QTimer::singleShot(0, [&title] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        title = about->windowTitle();
        about->accept();
    });
    window.OnCommand(ID_APP_ABOUT);
    EXPECT_EQ(title, CAboutDlg::CaptionFromMenuText(LoadLangString(StringId::AboutCaption)));
    EXPECT_TRUE(title.contains(QString::fromUtf8("О программе"))) << title.toStdString();
}

TEST_F(WindowDialogsTest, TheWindowSetsUpBothListsAndRelabelsThemOnALanguageChange) {
    TestWindow window;
    ASSERT_EQ(window.m_groupList.model()->columnCount(), 5);
    ASSERT_EQ(window.m_fileList.model()->columnCount(), 6);
    EXPECT_GT(window.m_fileList.columnWidth(0), 0);
    EXPECT_EQ(window.m_fileList.columnWidth(5), window.m_fileList.columnWidth(0));
    window.m_groupList.AddGroup(0, "1920x1080", 60000, 1 << 20, 0, 0);
    EXPECT_TRUE(window.m_groupList.model()->index(0, 0).flags() & Qt::ItemIsUserCheckable);

    CAppSettings::GetInstance().SetLanguage(FindLanguageIndex("RUS"));
    QCoreApplication::postEvent(&window, new CWindowMessageEvent(WM_LANGUAGE_CHANGED, 4));
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(window.m_groupList.model()->headerData(0, Qt::Horizontal).toString(),
              QString::fromUtf8("Группа"));
    EXPECT_EQ(window.m_fileList.model()->headerData(1, Qt::Horizontal).toString(),
              QString::fromUtf8("Имя файла"));
    EXPECT_EQ(window.m_btnOpen.accessibleName(), LoadLangString(StringId::TipOpen));
    EXPECT_NE(window.m_btnOpen.accessibleName(), "Open files");
}

TEST_F(WindowDialogsTest, EveryLanguageFitsTheDialogs) {
    for (int language = 0; language < kLanguageCount; ++language) {
        CAppSettings::GetInstance().SetLanguage(language);
        const std::string code = GetLanguageCode(language).toStdString();
        CMediaOpenDialog open;
        open.OnInitDialog();
        CTavloConfigDlg config;
        config.OnInitDialog();
        CAboutDlg about;
        for (QWidget* dialog : {static_cast<QWidget*>(&open), static_cast<QWidget*>(&config),
                                static_cast<QWidget*>(&about)}) {
            for (const std::string& fault : LayoutFaults(*dialog))
                ADD_FAILURE() << code << " " << dialog->objectName().toStdString() << ": " << fault;
        }
    }
}

} // namespace
} // namespace kolvex::testing
