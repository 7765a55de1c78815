// The configuration dialog: each Apply takes effect at once and tells the
// owner window exactly its message; OK applies both; Cancel keeps what was
// applied.
#include "app/window_messages.h"
#include "settings/app_settings.h"
#include "settings/dialog/tavlo_config_dlg.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

#include <utility>
#include <vector>

namespace kolvex::testing {
namespace {

// The main window as the dialog sees it: it records what is posted to it.
class Owner : public QWidget {
public:
    std::vector<std::pair<int, qint64>> messages;
    std::vector<std::pair<int, qint64>> Take() {
        QCoreApplication::sendPostedEvents(this);
        return std::exchange(messages, {});
    }

protected:
    bool event(QEvent* event) override {
        const int type = static_cast<int>(event->type());
        if (type == WM_MAP_CHANGED || type == WM_LANGUAGE_CHANGED) {
            messages.emplace_back(type, static_cast<CWindowMessageEvent*>(event)->m_nWParam);
            return true;
        }
        return QWidget::event(event);
    }
};

using Messages = std::vector<std::pair<int, qint64>>;

class ConfigDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings().SetLanguage(kEnglishIndex);
        settings().SetMapType(0);
        owner.Take();
    }
    void TearDown() override { settings().SetLanguage(kEnglishIndex); }
    static CAppSettings& settings() { return CAppSettings::GetInstance(); }
    static QString Stored(const char* key) {
        return settings().ReadString(KolvexIni::kSectionUI, key);
    }
    Owner owner;
};

TEST_F(ConfigDialogTest, OpensWithTheStoredChoicesAndEveryLanguageInItsOwnWords) {
    settings().WriteInt(KolvexIni::kSectionUI, KolvexIni::kMap, 3);
    settings().SetLanguage(FindLanguageIndex("GER"));
    CTavloConfigDlg dialog(&owner);
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.m_cbMap->currentIndex(), 1);
    EXPECT_EQ(dialog.m_cbMap->count(), 2);
    EXPECT_EQ(dialog.m_cbMap->itemText(0), LoadLangString(StringId::MapType0));
    EXPECT_EQ(dialog.m_cbLanguage->currentIndex(), FindLanguageIndex("GER"));
    ASSERT_EQ(dialog.m_cbLanguage->count(), kLanguageCount);
    EXPECT_EQ(dialog.m_cbLanguage->itemText(9), QString::fromUtf8("한국어"));
    EXPECT_EQ(dialog.m_cbLanguage->itemText(4), QString::fromUtf8("Русский"));
    EXPECT_EQ(dialog.windowTitle(), LoadLangString(StringId::ConfigCaption));
    EXPECT_EQ(dialog.m_grpLanguage->title(), LoadLangString(StringId::SelectLanguage));
    EXPECT_TRUE(owner.Take().empty());
}

TEST_F(ConfigDialogTest, EachApplyPostsExactlyItsMessageAndWritesItsSetting) {
    CTavloConfigDlg dialog(&owner);
    dialog.OnInitDialog();
    dialog.m_cbMap->setCurrentIndex(1);
    QTest::mouseClick(dialog.m_btnApplyMap, Qt::LeftButton);
    EXPECT_EQ(owner.Take(), (Messages{{WM_MAP_CHANGED, 1}}));
    EXPECT_EQ(Stored(KolvexIni::kMap), "1");
    EXPECT_EQ(dialog.m_nMapType, 1);
    EXPECT_EQ(Stored(KolvexIni::kLangId), "ENG");

    const QString englishMap = dialog.m_cbMap->itemText(1);
    dialog.m_cbLanguage->setCurrentIndex(FindLanguageIndex("RUS"));
    QTest::mouseClick(dialog.m_btnApplyLanguage, Qt::LeftButton);
    EXPECT_EQ(owner.Take(), (Messages{{WM_LANGUAGE_CHANGED, 4}}));
    EXPECT_EQ(Stored(KolvexIni::kLangId), "RUS");
    EXPECT_EQ(settings().LanguageIndex(), 4);
    // The dialog speaks Russian at once; the map entries stay as opened.
    EXPECT_EQ(dialog.windowTitle(), LoadLangString(StringId::ConfigCaption));
    EXPECT_NE(dialog.windowTitle(), "Config");
    EXPECT_EQ(dialog.m_btnApplyMap->text(), LoadLangString(StringId::ButtonApply));
    EXPECT_EQ(dialog.m_grpMap->title(), LoadLangString(StringId::SelectMap));
    EXPECT_EQ(dialog.m_cbMap->itemText(1), englishMap);
    EXPECT_EQ(dialog.m_cbMap->currentIndex(), 1);
    EXPECT_EQ(Stored(KolvexIni::kMap), "1");
}

TEST_F(ConfigDialogTest, CancelKeepsWhatWasApplied) {
    CTavloConfigDlg dialog(&owner);
    dialog.OnInitDialog();
    dialog.m_cbMap->setCurrentIndex(1);
    QTest::mouseClick(dialog.m_btnApplyMap, Qt::LeftButton);
    dialog.m_cbLanguage->setCurrentIndex(FindLanguageIndex("CHS"));
    QTest::mouseClick(dialog.m_btnApplyLanguage, Qt::LeftButton);
    owner.Take();
    dialog.m_cbMap->setCurrentIndex(0);
    QTest::mouseClick(dialog.m_btnCancel, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(owner.Take().empty());
    EXPECT_EQ(settings().ReadMapType(), 1);
    EXPECT_EQ(Stored(KolvexIni::kLangId), "CHS");
    EXPECT_EQ(settings().LanguageIndex(), 1);
}

TEST_F(ConfigDialogTest, OkAppliesBoth) {
    CTavloConfigDlg dialog(&owner);
    dialog.OnInitDialog();
    dialog.m_cbMap->setCurrentIndex(1);
    dialog.m_cbLanguage->setCurrentIndex(FindLanguageIndex("UKR"));
    QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(owner.Take(), (Messages{{WM_MAP_CHANGED, 1}, {WM_LANGUAGE_CHANGED, 15}}));
    EXPECT_EQ(dialog.m_nMapType, 1);
    EXPECT_EQ(Stored(KolvexIni::kMap), "1");
    EXPECT_EQ(Stored(KolvexIni::kLangId), "UKR");
    EXPECT_EQ(dialog.m_cbMap->currentIndex(), 1);

    // Unchanged, OK still writes and announces both.
    settings().WriteString(KolvexIni::kSectionUI, KolvexIni::kLangId, QString());
    CTavloConfigDlg again(&owner);
    again.OnInitDialog();
    QTest::mouseClick(again.m_btnOk, Qt::LeftButton);
    EXPECT_EQ(owner.Take(), (Messages{{WM_MAP_CHANGED, 1}, {WM_LANGUAGE_CHANGED, 15}}));
    EXPECT_EQ(Stored(KolvexIni::kLangId), "UKR");
}

TEST_F(ConfigDialogTest, TheLanguageIsOnlyChosenAndTypedMapTextFallsBack) {
    CTavloConfigDlg dialog(&owner);
    dialog.OnInitDialog();
    // Typing into the language list picks a listed language, never a text.
    EXPECT_FALSE(dialog.m_cbLanguage->isEditable());
    QTest::keyClicks(dialog.m_cbLanguage, "Klingon");
    EXPECT_NE(dialog.m_cbLanguage->currentText(), QStringLiteral("Klingon"));
    EXPECT_GE(dialog.m_cbLanguage->currentIndex(), 0);
    EXPECT_EQ(dialog.m_cbLanguage->itemText(dialog.m_cbLanguage->currentIndex()),
              dialog.m_cbLanguage->currentText());
    EXPECT_TRUE(owner.Take().empty());
    EXPECT_EQ(settings().LanguageIndex(), kEnglishIndex);
    // A map list without a valid choice falls back to the first map.
    settings().SetMapType(1);
    dialog.m_cbMap->setEditText("Mars");
    QTest::mouseClick(dialog.m_btnApplyMap, Qt::LeftButton);
    EXPECT_EQ(owner.Take(), (Messages{{WM_MAP_CHANGED, 0}}));
    EXPECT_EQ(settings().ReadMapType(), 0);
}

} // namespace
} // namespace kolvex::testing
