// The camera's clock against GPS time in the window: the file list's tip
// and the trip panel (T), in the current language; a screenshot of the
// panel goes to <build>/screenshots.
#include "app/camera_clock_text.h"
#include "app/info_panel.h"
#include "app/kolvex_dlg.h"
#include "card_fixture.h"
#include "clock_fixture.h"
#include "fake_player_window.h"
#include "lists/media_open_dialog.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QDir>
#include <QLabel>

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

using namespace fixtures;

class CameraClockWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake().loaded());
        fake().reset();
        // A camera on Berlin winter time, 12 s fast; its third recording
        // has no GPS.
        Add("DCIM/CAMF/MOVA0010.MP4", "2026-01-14 07:12:12", true);
        Add("DCIM/CAMF/MOVA0020.MP4", "2026-01-14 07:13:12", true);
        Add("DCIM/CAMF/MOVA0030.MP4", "2026-01-14 07:14:12", false);
        window = std::make_unique<FakePlayerWindow>();
        window->show();
        window->OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
        ASSERT_EQ(window->m_recordings.Entries().size(), 3u);
        ASSERT_TRUE(WaitFor([&] { return window->m_nDeferredOpenCountdown == 0; }, 3000));
    }
    void TearDown() override { CAppSettings::GetInstance().SetLanguage(kEnglishIndex); }
    void Add(const std::string& relative, const std::string& textDate, bool gps) {
        card.AddRecording(relative, DatedOnly(textDate));
        if (gps)
            card.AddFile(relative.substr(0, relative.rfind('.')) + ".NMEA",
                         NmeaSeconds(kWinterUtc + 60 * m_added, 60));
        ++m_added;
    }
    QStringList PanelTexts() {
        QStringList texts;
        if (!window->m_pInfoPanel)
            return texts;
        for (const QLabel* label : window->m_pInfoPanel->findChildren<QLabel*>())
            texts << label->text();
        return texts;
    }

    ScopedTimeZone zone;
    TempCard card;
    int m_added = 0;
    std::unique_ptr<FakePlayerWindow> window;
};

TEST_F(CameraClockWindowTest, TheFileListsTipTellsTheRecordingsOffset) {
    const QString tip = window->m_fileList.m_rowTip(0);
    EXPECT_TRUE(tip.contains("\nCamera clock: 1 h 00 min 12 s ahead of GPS (UTC)\n"
                             "time zone UTC+01:00, clock 12 s fast"))
        << tip.toStdString();
    EXPECT_TRUE(tip.startsWith("Distance: ")) << "the trip figures stay first";
    EXPECT_FALSE(window->m_fileList.m_rowTip(2).contains("Camera clock")) << "no GPS time";
    ASSERT_TRUE(CAppSettings::GetInstance().SetLanguage(FindLanguageIndex(QStringLiteral("GER"))));
    EXPECT_TRUE(window->m_fileList.m_rowTip(1).contains(
        "Kamerauhr: 1 h 00 min 12 s vor GPS (UTC)\nZeitzone UTC+01:00, Uhr 12 s vor"))
        << window->m_fileList.m_rowTip(1).toStdString();
}

TEST_F(CameraClockWindowTest, TheTripPanelTellsTheRecordingsAndTheCardsOffset) {
    QTest::keyClick(window.get(), Qt::Key_T);
    ASSERT_TRUE(WaitFor([&] { return window->m_pInfoPanel && window->m_pInfoPanel->isVisible(); }));
    const QStringList texts = PanelTexts();
    const auto at = [&](const QString& text) { return texts.indexOf(text); };
    EXPECT_GE(at("Camera clock"), 0) << texts.join(" | ").toStdString();
    EXPECT_EQ(at("1 h 00 min 12 s ahead of GPS (UTC)"), at("Camera clock") + 1);
    EXPECT_GE(at("time zone UTC+01:00, clock 12 s fast"), 0);
    EXPECT_GE(at("Camera clock, all recordings"), 0);
    QDir().mkpath(QStringLiteral(KOLVEX_SCREENSHOT_DIR));
    window->m_pInfoPanel->grab().save(QStringLiteral(KOLVEX_SCREENSHOT_DIR) +
                                      "/trip_panel_camera_clock.png");
}

TEST(CameraClockTextTest, AheadBehindAndTheSame) {
    struct Case {
        std::optional<int64_t> offset;
        QStringList lines;
    };
    const Case cases[] = {
        {std::nullopt, {}},
        {0, {"Camera clock: the same as GPS (UTC)"}},
        {3612,
         {"Camera clock: 1 h 00 min 12 s ahead of GPS (UTC)",
          "time zone UTC+01:00, clock 12 s fast"}},
        {7200, {"Camera clock: 2 h 00 min 00 s ahead of GPS (UTC)", "time zone UTC+02:00"}},
        {180,
         {"Camera clock: 3 min 00 s ahead of GPS (UTC)",
          "time zone UTC+00:00, clock 3 min 00 s fast"}},
        {-40, {"Camera clock: 40 s behind GPS (UTC)", "time zone UTC+00:00, clock 40 s slow"}},
        {-(3 * 3600 + 1800 + 5),
         {"Camera clock: 3 h 30 min 05 s behind GPS (UTC)", "time zone UTC-03:30, clock 5 s slow"}},
        {40 * 86400, {"Camera clock: 960 h 00 min 00 s ahead of GPS (UTC)"}}, // no zone
    };
    for (const Case& c : cases)
        EXPECT_EQ(TipText(CameraClockLines(c.offset, StringId::CameraClock)), c.lines.join(u'\n'))
            << (c.offset ? *c.offset : -1);
}

} // namespace
} // namespace kolvex::testing
