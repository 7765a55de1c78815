// The KML file of the current recording, byte for byte, and its place.
#include "card_fixture.h"

#include "library/recording_manager.h"
#include "library/track_export.h"
#include "map/kml/kml_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <ctime>

namespace kolvex::testing {
namespace {

using fixtures::GpsRecord;

GpsRecord Fix(double latitude, double longitude, int32_t altitude) {
    GpsRecord r;
    r.latitude = latitude;
    r.longitude = longitude;
    r.altitude = altitude;
    r.flags = 1;
    return r;
}

std::string Content(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<none>");
}

std::string Header(const std::string& name, const std::string& pathDescription) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
           "  <Document>\n"
           "    <name>" +
           name +
           "</name>\n"
           "\t<description></description>\n"
           "    <Style id=\"blueLine\">\n"
           "      <LineStyle>\n"
           "        <color>ffff0000</color>\n"
           "        <width>4</width>\n"
           "      </LineStyle>\n"
           "    </Style>\n"
           "    <Placemark>\n"
           "      <name>CAR PATH</name>\n"
           "      <description>GPS Path of Car DV " +
           pathDescription +
           "</description>\n"
           "      <styleUrl>#blueLine</styleUrl>\n"
           "      <LineString>\n"
           "        <altitudeMode>relative</altitudeMode>\n"
           "        <coordinates>\n";
}

const std::string kFooter = "\n"
                            "        </coordinates>\n"
                            "      </LineString>\n"
                            "    </Placemark>\n"
                            "  </Document>\n"
                            "</kml>\n";

// Loads one file as the player does for a single file and makes it current.
struct Exported {
    CRecordingManager manager;
    QString path;
    bool ok = false;
    Exported(const TempCard& card, const QString& folder, const QString& name,
             const QString& into) {
        if (manager.Load(folder, name) != 1 || manager.Entries().empty())
            return;
        manager.SelectFile(0);
        manager.LoadRecordingData(0);
        ok = manager.ExportKml(into, path);
        (void)card;
    }
};

TEST(KmlExportTest, WritesTheTrackByteForByte) {
    TempCard card;
    auto r = RecordingAt("2013-05-17 08:09:10");
    r.writeGps = true;
    r.gps = {Fix(2232.615, 11356.78, 35), GpsRecord{}, Fix(-3352.5, -15112.0, -4),
             Fix(20000.0, 11356.78, 1)};
    card.AddRecording("MYTRIP.MP4", r);
    const QString out = card.Root() + "/kml/";
    QDir().mkpath(out);
    Exported e(card, card.Root(), QStringLiteral("MYTRIP.MP4"), out);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.path, out + "MYTRIP_2013_05_17_08-09-10.KML");
    EXPECT_EQ(Content(e.path), Header("MYTRIP.MP4", "\"/MYTRIP.MP4\" 2013/05/17 08:09:10") +
                                   "113.946333,22.543583,35\n"
                                   "-151.200000,-33.875000,-4\n" +
                                   kFooter);

    // Exporting again replaces the file of the same name.
    ASSERT_TRUE(e.manager.ExportKml(out, e.path));
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 1);
}

TEST(KmlExportTest, RecordingFromACardNamesItsSubFolderAndMayHaveNoFix) {
    TempCard card;
    auto r = RecordingAt("2015-06-01 10:00:00");
    r.writeGps = true;
    r.gps = {GpsRecord{}, GpsRecord{}};
    card.AddRecording("DCIM/100MEDIA/FILE0001.MOV", r);
    CRecordingManager manager;
    ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
    manager.SelectFile(0);
    manager.LoadRecordingData(0);
    QString path;
    ASSERT_TRUE(manager.ExportKml(card.Root() + "/", path));
    EXPECT_EQ(Content(path),
              Header("FILE0001.MOV", "\"DCIM/100MEDIA//FILE0001.MOV\" 2015/06/01 10:00:00") +
                  kFooter);
}

TEST(KmlExportTest, EscapesMarkupInNamesButKeepsQuotes) {
    TempCard card;
    card.AddRecording("A&B<C>\"D.MP4", RecordingAt("2013-05-17 08:09:10"));
    Exported e(card, card.Root(), QStringLiteral("A&B<C>\"D.MP4"), card.Root() + "/");
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(Content(e.path), Header("A&amp;B&lt;C&gt;\"D.MP4",
                                      "\"/A&amp;B&lt;C&gt;\"D.MP4\" 2013/05/17 08:09:10") +
                                   kFooter);
}

TEST(KmlExportTest, UnknownStartIsNamedAfterTheEpochInLocalTime) {
    const char* oldTz = std::getenv("TZ");
    const std::string saved = oldTz ? oldTz : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    TempCard card;
    auto r = RecordingAt("");
    r.textDate.reset();
    card.AddRecording("FILE0001.MP4", r);
    Exported e(card, card.Root(), QStringLiteral("FILE0001.MP4"), card.Root() + "/");
    ::setenv("TZ", saved.c_str(), 1);
    ::tzset();
    ASSERT_TRUE(e.ok);
    EXPECT_TRUE(e.path.endsWith("/FILE0001_1970_01_01_00-00-00.KML")) << e.path.toStdString();
}

TEST(KmlExportTest, FailureNamesTheFileThatCouldNotBeCreated) {
    TempCard card;
    card.AddRecording("FILE0001.MP4", RecordingAt("2013-05-17 08:09:10"));
    card.AddFile("plain", "");
    Exported e(card, card.Root(), QStringLiteral("FILE0001.MP4"), card.Root() + "/plain/");
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.path, card.Root() + "/plain/FILE0001_2013_05_17_08-09-10.KML");

    CRecordingManager empty;
    QString path;
    EXPECT_FALSE(empty.ExportKml(card.Root() + "/", path));
}

TEST(KmlExportTest, FolderIsCreatedBelowTheDocumentsFolder) {
    TempCard card;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldDocuments = qgetenv("XDG_DOCUMENTS_DIR");
    qputenv("HOME", card.Root().toUtf8());
    qunsetenv("XDG_DOCUMENTS_DIR");
    qputenv("XDG_CONFIG_HOME", (card.Root() + "/config").toUtf8());
    QString folder;
    const bool ok = GetKmlFolder(folder);
    const bool again = GetKmlFolder(folder);
    qputenv("HOME", oldHome);
    qunsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(again);
    EXPECT_EQ(folder, card.Root() + "/Documents/KOLVEX/KML/");
    EXPECT_TRUE(QDir(folder).exists());
}

TEST(KmlExportTest, TrackBelongsToTheRecordingTheFileIsNamedAfter) {
    // After a deletion the current index can point at another recording
    // than the one whose samples were loaded.
    TempCard card;
    auto first = RecordingAt("2013-05-17 08:00:00");
    first.writeGps = true;
    first.gps = {Fix(2232.615, 11356.78, 35)};
    card.AddRecording("FILA0001.AVI", first);
    auto second = RecordingAt("2013-05-17 09:00:00");
    second.writeGps = true;
    second.gps = {Fix(-3352.5, -15112.0, -4)};
    card.AddRecording("FILB0002.AVI", second);
    CRecordingManager manager;
    ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
    manager.SelectFile(0);
    manager.LoadRecordingData(0);
    manager.SelectFile(1);
    QString path;
    ASSERT_TRUE(manager.ExportKml(card.Root() + "/", path));
    EXPECT_TRUE(path.endsWith("/FILB0002_2013_05_17_09-00-00.KML"));
    EXPECT_EQ(Content(path), Header("FILB0002.AVI", "\"/FILB0002.AVI\" 2013/05/17 09:00:00") +
                                 "-151.200000,-33.875000,-4\n" + kFooter);
}

TEST(KmlWriterTest, RefusesToWriteWithoutAnOpenFile) {
    CKmlWriter writer;
    EXPECT_FALSE(writer.WriteKmlHeader("a", "", "b"));
    EXPECT_FALSE(writer.WriteKmlPoint(1, 2, 3));
    EXPECT_FALSE(writer.WriteKmlFooter());
}

} // namespace
} // namespace kolvex::testing
