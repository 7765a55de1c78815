// The INI text model: what is read, and that a change touches one line only.
#include "case_name.h"
#include "ini_document.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct ReadCase {
    const char* what;
    QByteArray text;
    const char* section;
    const char* key;
    std::optional<QString> expected;
};

class IniReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, FindsTheValueTheClassicFunctionsWould) {
    const ReadCase& c = GetParam();
    const std::optional<QString> got =
        CIniDocument(c.text).Value(QString::fromUtf8(c.section), QString::fromUtf8(c.key));
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.what;
    if (got) {
        EXPECT_EQ(got->toStdString(), c.expected->toStdString()) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniReadTest,
    testing::Values(
        ReadCase{"plain", "[UI]\nMAP=1\n", "UI", "MAP", QStringLiteral("1")},
        ReadCase{"names ignore case, blanks trimmed", "[ui]\n  map = 1 \n", "UI", "MAP",
                 QStringLiteral("1")},
        ReadCase{"section name with blanks", "[ UI ]\nMAP=1", "ui", "Map", QStringLiteral("1")},
        ReadCase{"key before any section", "MAP=1\n[UI]\n", "UI", "MAP", std::nullopt},
        ReadCase{"key of another section", "[WINPOS]\nMAP=1\n[UI]\n", "UI", "MAP", std::nullopt},
        ReadCase{"first of two keys", "[UI]\nMAP=1\nmap=2\n", "UI", "MAP", QStringLiteral("1")},
        ReadCase{"first of two sections", "[UI]\nA=1\n[ui]\nA=2\n", "UI", "A", QStringLiteral("1")},
        ReadCase{"commented out", "[UI]\n;MAP=1\n# MAP=2\n", "UI", "MAP", std::nullopt},
        ReadCase{"empty value", "[UI]\nMAP=\n", "UI", "MAP", QString()},
        ReadCase{"'=' inside the value", "[UI]\nMapTileUrl0=https://t/{z}?k=v&a=b\n", "UI",
                 "MapTileUrl0", QStringLiteral("https://t/{z}?k=v&a=b")},
        ReadCase{"quotes keep outer blanks", "[UI]\nFolder=\" /media/a b \"\n", "UI", "Folder",
                 QStringLiteral(" /media/a b ")},
        ReadCase{"CRLF line ends", "[UI]\r\nMAP=1\r\n", "UI", "MAP", QStringLiteral("1")},
        ReadCase{"UTF-8 byte-order mark", "\xEF\xBB\xBF[UI]\nMAP=1", "UI", "MAP",
                 QStringLiteral("1")},
        ReadCase{"UTF-8 value", "[UI]\nFolder=/media/F\xC3\xBChrer\n", "UI", "Folder",
                 QStringLiteral("/media/F\u00FChrer")},
        ReadCase{"garbage bytes before the section", QByteArray("\0\0\xFF\xFE\n[UI]\nMAP=1\n", 16),
                 "UI", "MAP", QStringLiteral("1")},
        ReadCase{"unterminated section header", "[UI\nMAP=1\n", "UI", "MAP", QStringLiteral("1")}),
    [](const auto& info) { return CaseName(info.param.what, static_cast<int>(info.index)); });

TEST(IniDocument, ChangingValuesKeepsEveryOtherLineByteForByte) {
    const QByteArray before = "\xEF\xBB\xBF; written by hand\r\n"
                              "[Other]\r\n"
                              "MAP=9\r\n"
                              "\r\n"
                              "[ui]\r\n"
                              "Unknown=\xFF\xFE raw\r\n"
                              "Map = 0\r\n"
                              "\r\n"
                              "[WINPOS]\r\n"
                              "LEFT=5";
    CIniDocument doc(before);
    ASSERT_TRUE(doc.SetValue("UI", "MAP", "1"));           // replaced in place
    ASSERT_TRUE(doc.SetValue("UI", "Folder", "/media/a")); // added at the end of [ui]
    ASSERT_TRUE(doc.SetValue("WINPOS", "TOP", "7"));       // after a last line without a break
    ASSERT_TRUE(doc.SetValue("New", "K", "v"));            // a new section at the end
    const QByteArray after = "\xEF\xBB\xBF; written by hand\r\n"
                             "[Other]\r\n"
                             "MAP=9\r\n"
                             "\r\n"
                             "[ui]\r\n"
                             "Unknown=\xFF\xFE raw\r\n"
                             "MAP=1\r\n"
                             "Folder=/media/a\r\n"
                             "\r\n"
                             "[WINPOS]\r\n"
                             "LEFT=5\r\n"
                             "TOP=7\r\n"
                             "[New]\r\n"
                             "K=v\r\n";
    EXPECT_EQ(doc.ToBytes().toStdString(), after.toStdString());
}

TEST(IniDocument, EmptyTextGetsSectionAndKey) {
    CIniDocument doc;
    ASSERT_TRUE(doc.SetValue("UI", "LANGID", "GER"));
    ASSERT_TRUE(doc.SetValue("UI", "LANGID", "FRA")); // the last write wins
    EXPECT_EQ(doc.ToBytes().toStdString(), "[UI]\nLANGID=FRA\n");
}

TEST(IniDocument, ValuesComeBackAsWritten) {
    const QString values[] = {QStringLiteral(" leading"),    QStringLiteral("trailing "),
                              QStringLiteral("\"quoted\""),  QStringLiteral("'single'"),
                              QStringLiteral("a=b;c#d"),     QStringLiteral("\"half"),
                              QStringLiteral("Жёлтый 黄色"), QString()};
    for (const QString& value : values) {
        CIniDocument doc("[UI]\nKey=old\n");
        ASSERT_TRUE(doc.SetValue("UI", "Key", value)) << value.toStdString();
        const CIniDocument reread(doc.ToBytes());
        EXPECT_EQ(reread.Value(u"UI", u"Key").value_or("<missing>").toStdString(),
                  value.toStdString());
    }
}

TEST(IniDocument, RefusesWhatAnIniLineCannotHold) {
    struct Bad {
        const char* section;
        const char* key;
        const char* value;
    };
    const Bad cases[] = {
        {"", "K", "v"},    {"A]B", "K", "v"},  {"U\nI", "K", "v"},  {" UI", "K", "v"},
        {"UI", "", "v"},   {"UI", "A=B", "v"}, {"UI", "K\n", "v"},  {"UI", ";K", "v"},
        {"UI", "[K", "v"}, {"UI", " K", "v"},  {"UI", "K", "a\nb"}, {"UI", "K", "a\rb"},
    };
    for (const Bad& c : cases) {
        CIniDocument doc("[UI]\nK=old\n");
        EXPECT_FALSE(doc.SetValue(c.section, c.key, c.value))
            << c.section << "/" << c.key << "/" << c.value;
        EXPECT_EQ(doc.ToBytes().toStdString(), "[UI]\nK=old\n");
    }
}

} // namespace
