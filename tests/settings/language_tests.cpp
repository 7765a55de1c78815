// The language table, the string-table files and the English fallback.
#include "language_table.h"
#include "string_tables.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(LanguageTable, RowsAndIdentifiers) {
    const char* codes[] = {"ENG", "CHS", "CHT", "ESP", "RUS", "POR", "JPN", "GER",
                           "FRA", "KOR", "ITA", "LAT", "POL", "ROM", "SLV", "UKR"};
    const unsigned ids[] = {0x0409, 0x0804, 0x0404, 0x040A, 0x0419, 0x0816, 0x0411, 0x0407,
                            0x040C, 0x0412, 0x0410, 0x0426, 0x0415, 0x0418, 0x041B, 0x0422};
    for (int i = 0; i < kLanguageCount; ++i) {
        EXPECT_EQ(GetLanguageCode(i).toStdString(), codes[i]);
        EXPECT_EQ(FindLanguageIndex(QString::fromLatin1(codes[i])), i);
        EXPECT_EQ(LanguageIdOf(i), ids[i]) << codes[i];
    }
    // Each name as its speakers write it at the head of a menu item.
    const char* names[] = {"English",  "简体中文",  "繁體中文",   "Español",
                           "Русский",  "Português", "日本語",     "Deutsch",
                           "Français", "한국어",    "Italiano",   "Latviešu",
                           "Polski",   "Română",    "Slovenčina", "Українська"};
    for (int i = 0; i < kLanguageCount; ++i)
        EXPECT_EQ(GetLanguageName(GetLanguageCode(i)).toStdString(), names[i]) << codes[i];
    EXPECT_TRUE(GetLanguageCode(-1).isEmpty());
    EXPECT_TRUE(GetLanguageCode(16).isEmpty());
}

TEST(LanguageTable, CodesMatchExactlyOrNotAtAll) {
    for (const char* code : {"eng", "Eng", "ENG ", "EN", "XYZ", ""})
        EXPECT_EQ(FindLanguageIndex(QString::fromLatin1(code)), -1) << code;

    int index = 4;
    EXPECT_FALSE(SelectLanguageByCode(index, "rus"));
    EXPECT_EQ(index, 4);
    EXPECT_TRUE(SelectLanguageByCode(index, "KOR"));
    EXPECT_EQ(index, 9);
}

TEST(StringTableFile, ParsesEscapesAndReportsBadLines) {
    const QByteArray data = "# header\r\n"
                            "\r\n"
                            "101\tA\\nB\\tC\\\\D %s\r\n"
                            "abc\tnot a number\n"
                            "102 no tab\n"
                            "103\tbad \\q escape\n"
                            "101\trepeated\n"
                            "104\t\xC3\x28 broken UTF-8\n"
                            "105\t  blanks kept  \n";
    QStringList problems;
    const StringTable table = ParseStringTable(data, &problems);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.at(101).toStdString(), "A\nB\tC\\D %s");
    EXPECT_EQ(table.at(105).toStdString(), "  blanks kept  ");
    const QStringList expected = {"line 4", "line 5", "line 6", "line 7", "line 8"};
    ASSERT_EQ(problems.size(), expected.size()) << problems.join('|').toStdString();
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(problems[i].startsWith(expected[i])) << problems[i].toStdString();

    const QString awkward = QStringLiteral("line\nnext\ttab \\n literal");
    EXPECT_EQ(ParseStringTable("7\t" + EscapeTableText(awkward).toUtf8()).at(7), awkward);
}

TEST(StringTables, MissingOrEmptyTextFallsBackToEnglish) {
    TempFolder tmp;
    TempFolder::WriteFile(tmp.Path("ENG.txt"), "107\tOK\n108\tCancel\n");
    TempFolder::WriteFile(tmp.Path("GER.txt"), "107\tOK\n108\t\n");          // empty text
    TempFolder::WriteFile(tmp.Path("FRA.txt"), "107\tD'accord\n");           // 108 missing
    TempFolder::WriteFile(tmp.Path("ESP.txt"), "107\tAceptar\n999\tSolo\n"); // id English lacks
    const CStringTables tables(tmp.Root());
    const int ger = FindLanguageIndex("GER");
    const int fra = FindLanguageIndex("FRA");
    const int esp = FindLanguageIndex("ESP");
    const int rus = FindLanguageIndex("RUS"); // no file at all

    EXPECT_EQ(tables.Lookup(ger, 108).toStdString(), "Cancel");
    EXPECT_EQ(tables.Lookup(fra, 108).toStdString(), "Cancel");
    EXPECT_EQ(tables.Lookup(fra, 107).toStdString(), "D'accord");
    EXPECT_EQ(tables.Lookup(esp, 999).toStdString(), "Solo");
    EXPECT_EQ(tables.Lookup(rus, 107).toStdString(), "OK");
    EXPECT_TRUE(tables.Lookup(ger, 999).isEmpty()) << "missing in English too";
    EXPECT_TRUE(tables.Lookup(-1, 107).isEmpty() || tables.Lookup(-1, 107) == "OK");
    EXPECT_FALSE(tables.Problems(rus).isEmpty());
    EXPECT_TRUE(tables.Problems(ger).isEmpty());
}

// Every language carries every text the program shows, with the same
// placeholders, so no message loses its file name in some language.
TEST(BuiltinStringTables, EveryLanguageHasEveryTextWithItsPlaceholders) {
    std::set<unsigned> expectedIds = {144, 145};
    for (unsigned id = 101; id <= 141; ++id)
        expectedIds.insert(id);
    for (unsigned id = 179; id <= 231; ++id)
        expectedIds.insert(id);
    for (unsigned id = 250; id <= 286; ++id)
        expectedIds.insert(id);
    expectedIds.insert(245); // a snapshot that could not be written
    ASSERT_EQ(expectedIds.size(), 134u);

    const CStringTables& tables = CStringTables::Builtin();
    const StringTable& english = tables.Table(kEnglishIndex);
    for (int lang = 0; lang < kLanguageCount; ++lang) {
        const std::string code = GetLanguageCode(lang).toStdString();
        EXPECT_TRUE(tables.Problems(lang).isEmpty())
            << code << ": " << tables.Problems(lang).join("; ").toStdString();
        const StringTable& table = tables.Table(lang);
        std::set<unsigned> ids;
        for (const auto& [id, text] : table) {
            ids.insert(id);
            EXPECT_FALSE(text.trimmed().isEmpty()) << code << " " << id;
            ASSERT_TRUE(english.count(id)) << code << " has " << id << ", English has not";
            EXPECT_EQ(text.count(QLatin1String("%s")), english.at(id).count(QLatin1String("%s")))
                << code << " " << id;
            EXPECT_EQ(text.count(QLatin1Char('%')), english.at(id).count(QLatin1Char('%')))
                << code << " " << id << ": a stray % would be taken for a placeholder";
        }
        EXPECT_EQ(ids, expectedIds) << code;
        EXPECT_EQ(tables.Text(lang, 101).count(QLatin1Char('&')), 1) << code;
    }
    // The texts that are formatted with a file name.
    EXPECT_EQ(tables.Text(kEnglishIndex, 141).toStdString(),
              "File \"%s\" is already exist. Are you sure to overwrite it?");
    EXPECT_EQ(tables.Text(kEnglishIndex, 126).toStdString(), "Save KML file:%s Failed.");
}

} // namespace
