// Kolvex.ini through CAppSettings: defaults, the mapping of every key and the
// window rectangle made usable on the screen.
#include "app_settings.h"
#include "case_name.h"
#include "language_table.h"
#include "temp_folder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <climits>

namespace {

struct SettingsFile {
    TempFolder tmp;
    QString ini = tmp.Path("Kolvex.ini");
    explicit SettingsFile(const QByteArray& text = {}) {
        if (!text.isNull())
            TempFolder::WriteFile(ini, text);
    }
};

const QRect kScreen(0, 0, 1920, 1080);

TEST(AppSettings, WithoutAFileEverythingHasItsDefault) {
    SettingsFile f;
    CAppSettings s(f.ini);
    EXPECT_EQ(s.LanguageIndex(), 0);
    EXPECT_EQ(s.LanguageId(), 0x0409);
    EXPECT_EQ(s.ReadMapType(), 0);
    EXPECT_EQ(s.ReadInt(KolvexIni::kSectionUI, KolvexIni::kMapEnable, 1), 1);
    EXPECT_EQ(s.ReadInt(KolvexIni::kSectionUI, KolvexIni::kGSensorEnable, 1), 1);
    EXPECT_TRUE(s.ReadLastFolder().isEmpty());
    EXPECT_TRUE(s.ReadMapTileUrl(0).isEmpty());
    QRect rect;
    EXPECT_TRUE(s.ReadWindowRect(rect, kScreen));
    EXPECT_EQ(rect, QRect(0, 0, 800, 560));
    EXPECT_FALSE(QFile::exists(f.ini)) << "reads must not create the file";

    ASSERT_TRUE(s.WriteInt(KolvexIni::kSectionUI, KolvexIni::kMapEnable, 0));
    EXPECT_EQ(TempFolder::ReadFile(f.ini).toStdString(), "[UI]\nMAP_ENABLE=0\n");
}

struct LanguageCase {
    const char* stored;
    int index;
    unsigned id;
};

class StoredLanguageTest : public testing::TestWithParam<LanguageCase> {};

TEST_P(StoredLanguageTest, OnlyAnExactCodeChangesTheLanguage) {
    const LanguageCase& c = GetParam();
    const QByteArray text = QByteArray("[UI]\nLANGID=") + c.stored + "\n";
    SettingsFile f(text);
    CAppSettings s(f.ini);
    EXPECT_EQ(s.LanguageIndex(), c.index) << c.stored;
    EXPECT_EQ(s.LanguageId(), c.id) << c.stored;
    // Reading never rewrites the key; it keeps its text until a language is applied.
    EXPECT_EQ(TempFolder::ReadFile(f.ini), text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredLanguageTest,
    testing::Values(LanguageCase{"GER", 7, 0x0407}, LanguageCase{"ESP", 3, 0x040A},
                    LanguageCase{"UKR", 15, 0x0422}, LanguageCase{" CHS ", 1, 0x0804},
                    LanguageCase{"eng", 0, 0x0409}, LanguageCase{"ger", 0, 0x0409},
                    LanguageCase{"XYZ", 0, 0x0409}, LanguageCase{"1031", 0, 0x0409},
                    LanguageCase{"", 0, 0x0409}),
    [](const auto& info) { return CaseName(info.param.stored, static_cast<int>(info.index)); });

TEST(AppSettings, SetLanguageStoresTheCodeAndIgnoresRowsOutsideTheTable) {
    SettingsFile f("; mine\n[UI]\nLANGID=eng\nMAP=1\n");
    CAppSettings s(f.ini);
    EXPECT_FALSE(s.SetLanguage(-1)); // the language list had no selection
    EXPECT_FALSE(s.SetLanguage(16));
    EXPECT_EQ(s.LanguageIndex(), 0);
    EXPECT_EQ(TempFolder::ReadFile(f.ini).toStdString(), "; mine\n[UI]\nLANGID=eng\nMAP=1\n");

    ASSERT_TRUE(s.SetLanguage(8));
    EXPECT_EQ(s.LanguageIndex(), 8);
    EXPECT_EQ(s.LanguageId(), 0x040C);
    EXPECT_EQ(TempFolder::ReadFile(f.ini).toStdString(), "; mine\n[UI]\nLANGID=FRA\nMAP=1\n");
    EXPECT_EQ(CAppSettings(f.ini).LanguageIndex(), 8);
}

TEST(AppSettings, ReReadingAnUnknownCodeKeepsTheLanguageInForce) {
    SettingsFile f("[UI]\nLANGID=POL\n");
    CAppSettings s(f.ini);
    ASSERT_EQ(s.LanguageIndex(), 12);
    TempFolder::WriteFile(f.ini, "[UI]\nLANGID=pol\n");
    EXPECT_EQ(s.ReadLanguage(), 0x0415);
    EXPECT_EQ(s.LanguageIndex(), 12);
}

struct IntCase {
    const char* stored; // nullptr: no key at all
    int map;            // ReadMapType
    int raw;            // ReadInt with default 7
};

class MapValueTest : public testing::TestWithParam<IntCase> {};

TEST_P(MapValueTest, MapsToOneOfTheTwoMaps) {
    const IntCase& c = GetParam();
    SettingsFile f(c.stored ? QByteArray("[UI]\nMAP=") + c.stored + "\n" : QByteArray("[UI]\n"));
    CAppSettings s(f.ini);
    EXPECT_EQ(s.ReadInt(KolvexIni::kSectionUI, KolvexIni::kMap, 7), c.raw) << c.stored;
    EXPECT_EQ(s.ReadMapType(), c.map) << c.stored;
    EXPECT_EQ(s.MapType(), c.map);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapValueTest,
    testing::Values(IntCase{"0", 0, 0}, IntCase{"1", 1, 1}, IntCase{"5", 1, 5},
                    IntCase{"-1", 0, -1}, IntCase{"abc", 0, 0}, IntCase{"1abc", 1, 1},
                    IntCase{"+1", 1, 1}, IntCase{"", 0, 7}, IntCase{nullptr, 0, 7},
                    IntCase{"99999999999", 1, INT_MAX}, IntCase{"-99999999999", 0, INT_MIN}),
    [](const auto& info) { return CaseName(info.param.stored, static_cast<int>(info.index)); });

TEST(AppSettings, SetMapTypeStoresOneOfTheTwoMaps) {
    SettingsFile f("[UI]\nMAP=abc\n");
    CAppSettings s(f.ini);
    ASSERT_TRUE(s.SetMapType(1));
    EXPECT_EQ(s.MapType(), 1);
    EXPECT_EQ(CAppSettings(f.ini).ReadMapType(), 1);
    ASSERT_TRUE(s.SetMapType(-4));
    EXPECT_EQ(s.MapType(), 0);
    ASSERT_TRUE(s.SetMapType(7));
    EXPECT_EQ(TempFolder::ReadFile(f.ini).toStdString(), "[UI]\nMAP=1\n");
}

TEST(AppSettings, ShownFlagsCountAnyNonZeroAndAreWrittenAsZeroOrOne) {
    SettingsFile f("[UI]\nMAP_ENABLE=2\n");
    CAppSettings s(f.ini);
    const bool shown = s.ReadInt(KolvexIni::kSectionUI, KolvexIni::kMapEnable, 1) != 0;
    EXPECT_TRUE(shown);
    ASSERT_TRUE(s.WriteInt(KolvexIni::kSectionUI, KolvexIni::kMapEnable, shown ? 0 : 1));
    EXPECT_EQ(s.ReadInt(KolvexIni::kSectionUI, KolvexIni::kMapEnable, 1), 0);
    EXPECT_EQ(TempFolder::ReadFile(f.ini).toStdString(), "[UI]\nMAP_ENABLE=0\n");
}

TEST(AppSettings, LastFolderIsEmptyOnceTheFolderIsGone) {
    SettingsFile f;
    CAppSettings s(f.ini);
    const QString card = f.tmp.Path("card Ünïcode");
    ASSERT_TRUE(QDir().mkpath(card));
    ASSERT_TRUE(s.WriteString(KolvexIni::kSectionUI, KolvexIni::kFolder, card));
    EXPECT_EQ(s.ReadLastFolder(), card);
    ASSERT_TRUE(QDir(card).removeRecursively()); // the card was taken out
    EXPECT_TRUE(s.ReadLastFolder().isEmpty());
    EXPECT_EQ(s.ReadString(KolvexIni::kSectionUI, KolvexIni::kFolder), card);
}

TEST(AppSettings, MapTileUrlPerMapType) {
    SettingsFile f("[UI]\nMapTileUrl1=https://tiles.example.org/{z}/{x}/{y}.png?key=a=b\n");
    CAppSettings s(f.ini);
    EXPECT_TRUE(s.ReadMapTileUrl(0).isEmpty());
    EXPECT_EQ(s.ReadMapTileUrl(1).toStdString(),
              "https://tiles.example.org/{z}/{x}/{y}.png?key=a=b");
    EXPECT_TRUE(s.ReadMapTileUrl(2).isEmpty());
    EXPECT_TRUE(s.ReadMapTileUrl(-1).isEmpty());
}

struct RectCase {
    const char* what;
    QRect screen;
    bool saved; // false: no WINPOS section
    int left, top, right, bottom;
    QRect expected;
};

class WindowRectTest : public testing::TestWithParam<RectCase> {};

TEST_P(WindowRectTest, IsAtLeastTheMinimumAndInsideTheScreen) {
    const RectCase& c = GetParam();
    SettingsFile f;
    CAppSettings s(f.ini);
    if (c.saved) {
        // Written the way the main window writes them when it closes.
        ASSERT_TRUE(s.WriteInt(KolvexIni::kSectionWinPos, KolvexIni::kLeft, c.left));
        ASSERT_TRUE(s.WriteInt(KolvexIni::kSectionWinPos, KolvexIni::kTop, c.top));
        ASSERT_TRUE(s.WriteInt(KolvexIni::kSectionWinPos, KolvexIni::kRight, c.right));
        ASSERT_TRUE(s.WriteInt(KolvexIni::kSectionWinPos, KolvexIni::kBottom, c.bottom));
    }
    QRect rect;
    EXPECT_TRUE(s.ReadWindowRect(rect, c.screen));
    EXPECT_EQ(rect, c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowRectTest,
    testing::Values(
        RectCase{"nothing saved", kScreen, false, 0, 0, 0, 0, QRect(0, 0, 800, 560)},
        RectCase{"fits as saved", kScreen, true, 200, 150, 1224, 918, QRect(200, 150, 1024, 768)},
        RectCase{"smaller than the minimum", kScreen, true, 100, 100, 300, 200,
                 QRect(100, 100, 800, 560)},
        RectCase{"right before left", kScreen, true, 500, 400, 100, 100, QRect(500, 400, 800, 560)},
        RectCase{"larger than the screen", QRect(0, 0, 1920, 1040), true, -50, -50, 3000, 2000,
                 QRect(0, 0, 1920, 1040)},
        RectCase{"partly off right and bottom", kScreen, true, 1500, 900, 2300, 1460,
                 QRect(1120, 520, 800, 560)},
        RectCase{"monitor to the left", kScreen, true, -1700, 100, -900, 660,
                 QRect(0, 100, 800, 560)},
        RectCase{"minimised window", kScreen, true, -32000, -32000, -31840, -31972,
                 QRect(0, 0, 800, 560)},
        RectCase{"screen smaller than the minimum", QRect(0, 0, 640, 480), true, 0, 0, 800, 560,
                 QRect(0, 0, 640, 480)},
        RectCase{"extreme values", kScreen, true, INT_MIN, INT_MIN, INT_MAX, INT_MAX,
                 QRect(0, 0, 1920, 1080)},
        RectCase{"extreme values reversed", kScreen, true, INT_MAX, INT_MAX, INT_MIN, INT_MIN,
                 QRect(1120, 520, 800, 560)},
        RectCase{"panel on the left of the screen", QRect(48, 0, 1872, 1080), true, 0, 0, 800, 560,
                 QRect(48, 0, 800, 560)},
        RectCase{"panel, window at the far right", QRect(48, 0, 1872, 1080), true, 1500, 0, 2300,
                 560, QRect(1120, 0, 800, 560)}),
    [](const auto& info) { return CaseName(info.param.what, static_cast<int>(info.index)); });

TEST(AppSettings, UnwritableFolderKeepsTheProgramOnDefaults) {
    TempFolder tmp;
    TempFolder::WriteFile(tmp.Path("file"), "x");
    CAppSettings s(tmp.Path("file/Kolvex.ini"));
    EXPECT_FALSE(s.SetLanguage(7));
    EXPECT_EQ(s.LanguageIndex(), 7) << "the choice holds for this run even if it cannot be kept";
    EXPECT_FALSE(s.WriteInt(KolvexIni::kSectionUI, KolvexIni::kMap, 1));
    EXPECT_EQ(s.ReadMapType(), 0);
    QRect rect;
    EXPECT_TRUE(s.ReadWindowRect(rect, kScreen));
    EXPECT_EQ(rect, QRect(0, 0, 800, 560));
}

TEST(AppSettings, CorruptFileGivesDefaultsAndStaysUntouchedByReads) {
    QByteArray junk(4096, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>((i * 131 + 7) % 256);
    SettingsFile f(junk);
    CAppSettings s(f.ini);
    EXPECT_EQ(s.LanguageIndex(), 0);
    EXPECT_EQ(s.ReadMapType(), 0);
    QRect rect;
    s.ReadWindowRect(rect, kScreen);
    EXPECT_EQ(rect, QRect(0, 0, 800, 560));
    EXPECT_EQ(TempFolder::ReadFile(f.ini), junk);
    // A write adds its section and keeps the junk: nothing of the user's is lost.
    ASSERT_TRUE(s.WriteInt(KolvexIni::kSectionUI, KolvexIni::kMap, 1));
    EXPECT_EQ(s.ReadMapType(), 1);
    EXPECT_TRUE(TempFolder::ReadFile(f.ini).startsWith(junk));
}

// The process-wide instance: its file is in the directory of the moment it
// was first asked for, and LoadLangString follows its language.
TEST(AppSettings, ProcessInstanceTakesTheCurrentDirectoryOnce) {
    TempFolder first;
    TempFolder second;
    TempFolder::WriteFile(first.Path("Kolvex.ini"), "[UI]\nLANGID=ESP\n");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(first.Root()));

    CAppSettings& s = CAppSettings::GetInstance();
    EXPECT_EQ(QFileInfo(s.IniPath()).canonicalFilePath(),
              QFileInfo(first.Path("Kolvex.ini")).canonicalFilePath());
    EXPECT_EQ(s.LanguageIndex(), 3);
    EXPECT_EQ(LoadLangString(108).toStdString(), "Cancelar");

    ASSERT_TRUE(QDir::setCurrent(second.Root()));
    EXPECT_EQ(&CAppSettings::GetInstance(), &s);
    ASSERT_TRUE(s.SetLanguage(kEnglishIndex));
    QString text;
    EXPECT_EQ(LoadLangString(text, 108).toStdString(), "Cancel");
    EXPECT_FALSE(QFile::exists(second.Path("Kolvex.ini")));
    EXPECT_TRUE(TempFolder::ReadFile(first.Path("Kolvex.ini")).contains("LANGID=ENG"));
    QDir::setCurrent(before);
}

} // namespace
