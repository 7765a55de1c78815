// Names in KML and GPX documents: a file name may hold any character after
// its eighth, and bytes that are not UTF-8; the documents must still parse.
#include "card_fixture.h"

#include "library/native_path.h"
#include "library/recording_manager.h"
#include "map/kml/kml_writer.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <fstream>
#include <map>
#include <sstream>

namespace kolvex::testing {
namespace {

const QString kReplacement(QChar(char16_t(0xFFFD)));

TEST(EscapeXmlTextTest, ReplacesWhatXmlForbidsAndEscapesMarkup) {
    const struct {
        const char* what;
        QString in;
        std::string out;
    } cases[] = {
        {"tab and line breaks stay", QStringLiteral("a\tb\nc\rd"), "a\tb\nc\rd"},
        {"C0 controls",
         QStringLiteral("a\x01\x08\x0B\x0C\x1F"
                        "b"),
         "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
         "b"},
        {"NUL", QString(QChar(u'a')) + QChar(char16_t(0)) + QChar(u'b'),
         "a\xEF\xBF\xBD"
         "b"},
        {"U+FFFE and U+FFFF", QString::fromUtf8("\xEF\xBF\xBE\xEF\xBF\xBF"),
         "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"escaped byte of a name", PathFromNative("a\xFF"), "a\xEF\xBF\xBD"},
        {"lone high surrogate at the end", QString(QChar(u'a')) + QChar(char16_t(0xD800)),
         "a\xEF\xBF\xBD"},
        {"pair above U+FFFF stays", QString::fromUtf8("\xF0\x9F\x9A\x97"), "\xF0\x9F\x9A\x97"},
        {"DEL and U+FFFD stay", QString::fromUtf8("\x7F\xEF\xBF\xBD"), "\x7F\xEF\xBF\xBD"},
        {"markup", QStringLiteral("<a&b>\"'"), "&lt;a&amp;b&gt;\"'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeXmlText(c.in), c.out) << c.what;
}

// The text of every element of an XML document, by element name in
// document order, or the parser's error.
struct ParsedXml {
    std::map<QString, QStringList> texts;
    QString error;
    // The texts of one element name, joined by '|', readable in a failure.
    std::string Texts(const QString& element) const {
        const auto found = texts.find(element);
        return found == texts.end() ? "<none>" : found->second.join(u'|').toStdString();
    }
};

ParsedXml ParseXml(const QByteArray& document) {
    ParsedXml parsed;
    QXmlStreamReader xml(document);
    QString* current = nullptr;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            QStringList& texts = parsed.texts[xml.name().toString()];
            texts.append(QString());
            current = &texts.back();
        } else if (token == QXmlStreamReader::Characters && current) {
            *current += xml.text().toString();
        } else if (token == QXmlStreamReader::EndElement) {
            current = nullptr;
        }
    }
    if (xml.hasError())
        parsed.error = xml.errorString();
    return parsed;
}

QByteArray ReadBytes(const QString& path) {
    std::ifstream in(NativePath(path).toStdString(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return QByteArray::fromStdString(s.str());
}

TEST(XmlNamesTest, KmlAndGpxOfOddNamesAreWellFormed) {
    const struct {
        const char* what;
        std::string folder, name;   // bytes
        QString folderShown, shown; // as the documents show them
    } cases[] = {
        {"control character", "DCIM", "MOVA0010\x01x.MP4", "DCIM",
         "MOVA0010" + kReplacement + "x.MP4"},
        {"escape sequence", "DCIM", "MOVA0010\x1B[31m.MP4", "DCIM",
         "MOVA0010" + kReplacement + "[31m.MP4"},
        {"U+FFFF", "DCIM", "MOVA0010\xEF\xBF\xBF.MP4", "DCIM", "MOVA0010" + kReplacement + ".MP4"},
        {"bytes that are not UTF-8", "\xFF", "MOVA0010\xE9.MP4", kReplacement,
         "MOVA0010" + kReplacement + ".MP4"},
        {"control character in the folder", "A\x02", "MOVA0010.MP4", "A" + kReplacement,
         "MOVA0010.MP4"},
        {"tab and markup are allowed", "DCIM", "MOVA0010\t<&>.MP4", "DCIM", "MOVA0010\t<&>.MP4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempCard card;
        auto r = RecordingAt("2013-05-17 08:09:10");
        r.writeGps = true;
        fixtures::GpsRecord fix;
        fix.latitude = 2232.615;
        fix.longitude = 11356.78;
        fix.flags = 1;
        r.gps = {fix};
        card.AddRecording(c.folder + '/' + c.name, r);
        CRecordingManager manager;
        ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
        ASSERT_EQ(manager.Entries().size(), 1u);
        manager.SelectFile(0);
        ASSERT_EQ(manager.LoadRecordingData(0), 1);

        QString kmlPath;
        ASSERT_TRUE(manager.ExportKml(card.Root() + "/", kmlPath));
        // The file is named after the recording's own bytes.
        const std::string stem = c.name.substr(0, c.name.size() - 4);
        EXPECT_EQ(NativePath(kmlPath).toStdString(), card.Path(stem + "_2013_05_17_08-09-10.KML"));
        const ParsedXml kml = ParseXml(ReadBytes(kmlPath));
        EXPECT_TRUE(kml.error.isEmpty()) << kml.error.toStdString();
        EXPECT_EQ(kml.Texts("name"), (c.shown + "|CAR PATH").toStdString());
        EXPECT_EQ(kml.Texts("description"), ("|GPS Path of Car DV \"" + c.folderShown + "//" +
                                             c.shown + "\" 2013/05/17 08:09:10")
                                                .toStdString());
        EXPECT_NE(kml.Texts("coordinates").find("113.946333,22.543583,0"), std::string::npos);

        std::string gpx;
        ASSERT_TRUE(manager.ExportGroupGpx(0, gpx));
        ParsedXml parsed = ParseXml(QByteArray::fromStdString(gpx));
        EXPECT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
        EXPECT_EQ(parsed.Texts("name"), c.shown.toStdString());
        EXPECT_EQ(parsed.texts["trkpt"].size(), 1);
    }
}

} // namespace
} // namespace kolvex::testing
