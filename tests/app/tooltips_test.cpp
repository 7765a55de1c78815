// The window's tooltips and accessible names: one tool per control in the
// current language, rebuilt when the language changes, each tip one whole
// line whatever the language.
#include "test_window.h"

#include "app/window_messages.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QTest>

namespace kolvex::testing {
namespace {

constexpr unsigned kPlayTip = 134;
constexpr unsigned kAutoNextTip = 189;
constexpr int kTools = 25;

class TooltipsTest : public ::testing::Test {
protected:
    ~TooltipsTest() override { CAppSettings::GetInstance().SetLanguage(kEnglishIndex); }
    void SwitchTo(const char16_t* code) {
        CAppSettings::GetInstance().SetLanguage(FindLanguageIndex(QString::fromUtf16(code)));
        CWindowMessageEvent changed(WM_LANGUAGE_CHANGED);
        QCoreApplication::sendEvent(&window, &changed);
    }
    TestWindow window;
};

TEST_F(TooltipsTest, EveryControlIsOneToolInTheCurrentLanguage) {
    EXPECT_EQ(window.m_toolTip.m_toolWindows.size(), kTools);
    EXPECT_EQ(window.m_btnPlay.accessibleName(), "Play/Pause video");
    EXPECT_EQ(window.m_speed.accessibleName(), "Change Speed Unit KPH/MPH.");
    EXPECT_EQ(window.m_volumeSlider.toolTip(), "Volume");

    SwitchTo(u"RUS");
    EXPECT_EQ(window.m_toolTip.m_toolWindows.size(), kTools) << "each control once";
    EXPECT_EQ(window.m_toolTip.m_toolImages.size(), kTools);
    EXPECT_EQ(window.m_btnPlay.accessibleName(), LoadLangString(kPlayTip));
    EXPECT_NE(window.m_btnPlay.accessibleName(), "Play/Pause video");
    EXPECT_EQ(window.m_btnAutoNext.toolTip(), LoadLangString(kAutoNextTip));
}

// The tip is one line beside its picture, wide enough for its bold label,
// in every language.
TEST_F(TooltipsTest, NoTipIsCutOrWrappedInAnyLanguage) {
    window.setGeometry(100, 100, 1000, 700);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    CToolTipWindow& tip = window.m_toolTip.TipWindow();
    for (int language = 0; language < kLanguageCount; ++language) {
        CAppSettings::GetInstance().SetLanguage(language);
        CWindowMessageEvent changed(WM_LANGUAGE_CHANGED);
        QCoreApplication::sendEvent(&window, &changed);
        for (const QPointer<QWidget>& control : window.m_toolTip.m_toolWindows) {
            const QPoint at = control->rect().center();
            QHelpEvent help(QEvent::ToolTip, at, control->mapToGlobal(at));
            QCoreApplication::sendEvent(control, &help);
            ASSERT_TRUE(tip.isVisible());
            QFont bold = tip.font();
            bold.setBold(true);
            const QString label = control->toolTip();
            EXPECT_EQ(tip.m_strLabel, label);
            EXPECT_GE(tip.width(), 32 + QFontMetrics(bold).horizontalAdvance(label))
                << GetLanguageCode(language).toStdString() << ": " << label.toStdString();
            EXPECT_LE(tip.height(), 48) << "one line beside the picture";
            window.m_toolTip.HideTip();
        }
    }
}

TEST_F(TooltipsTest, ADoubleClickOnTheReadoutSwitchesItsUnit) {
    window.setGeometry(100, 100, 1000, 700);
    window.show();
    window.LayoutControls(1000, 700);
    ASSERT_EQ(window.m_speed.m_strUnit, "Km/h");
    QTest::mouseDClick(&window, Qt::LeftButton, {}, window.m_speed.geometry().center());
    EXPECT_EQ(window.m_speed.m_strUnit, "MPH");
    EXPECT_EQ(window.m_bMaximized, 0);
}

} // namespace
} // namespace kolvex::testing
