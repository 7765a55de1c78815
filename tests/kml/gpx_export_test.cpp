// GPX of one recording or a whole group.
#include "card_fixture.h"

#include "library/recording_manager.h"
#include "map/kml/gpx_writer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>

namespace kolvex::testing {
namespace {

using fixtures::GpsRecord;

GpsRecord Fix(double latitude, double longitude) {
    GpsRecord r;
    r.latitude = latitude;
    r.longitude = longitude;
    r.altitude = 120;
    r.speed = 36;
    r.heading = 200; // 400 degrees as stored; a course stays below 360
    r.flags = 1;
    return r;
}

struct Point {
    std::string lat, lon, ele, time, speed, course;
};

// The track points of each segment, read back with an XML parser (which
// also proves the document is well-formed).
std::vector<std::vector<Point>> Segments(const std::string& gpx) {
    std::vector<std::vector<Point>> segments;
    QXmlStreamReader xml(QByteArray::fromStdString(gpx));
    Point* point = nullptr;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == "trkseg") {
            segments.emplace_back();
        } else if (name == "trkpt") {
            segments.back().emplace_back();
            point = &segments.back().back();
            point->lat = xml.attributes().value("lat").toString().toStdString();
            point->lon = xml.attributes().value("lon").toString().toStdString();
        } else if (point && name == "ele") {
            point->ele = xml.readElementText().toStdString();
        } else if (point && name == "time") {
            point->time = xml.readElementText().toStdString();
        } else if (point && name == "speed") {
            point->speed = xml.readElementText().toStdString();
        } else if (point && name == "course") {
            point->course = xml.readElementText().toStdString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return segments;
}

TEST(GpxExportTest, OnePointPerWrittenSampleWithItsOwnDateOrItsOffset) {
    TempCard card;
    auto r = RecordingAt("2015-06-01 12:00:00");
    r.writeGps = true;
    r.gpsInfo = fixtures::InfoRecord(10);
    r.gps = {Fix(4807.038, 1131.0), Fix(4807.038, 1131.0), GpsRecord{}, Fix(4807.038, 1131.0)};
    r.gps[0].year = 15; // local 2015-06-01 12:00:05 in Berlin summer time
    r.gps[0].month = 6;
    r.gps[0].day = 1;
    r.gps[0].hour = 12;
    r.gps[0].minute = 0;
    r.gps[0].second = 5;
    card.AddRecording("FILE0001.MOV", r);
    CRecordingManager manager;
    ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
    std::string gpx;
    ASSERT_TRUE(manager.ExportGpx({0}, QStringLiteral("Trip"), gpx));

    const auto segments = Segments(gpx);
    ASSERT_EQ(segments.size(), 1u);
    ASSERT_EQ(segments[0].size(), 3u); // the sample without a fix is left out
    const Point& first = segments[0][0];
    EXPECT_EQ(first.lat, "48.117300");
    EXPECT_EQ(first.lon, "11.516667");
    EXPECT_EQ(first.ele, "120");
    EXPECT_EQ(first.time, "2015-06-01T10:00:05Z");
    EXPECT_EQ(first.speed, "10.000000"); // 36 km/h in m/s
    EXPECT_EQ(first.course, "40.000000");
    // Undated samples: the start (10:00:04 UTC, from the first dated
    // sample) plus index / rate.
    EXPECT_EQ(segments[0][1].time, "2015-06-01T10:00:00.100Z");
    EXPECT_EQ(segments[0][2].time, "2015-06-01T10:00:00.300Z");
}

TEST(GpxExportTest, AGroupBecomesOneTrackWithASegmentPerRecording) {
    TempCard card;
    for (int i = 0; i < 2; ++i) {
        auto r = RecordingAt(i == 0 ? "2015-06-01 10:00:00" : "2015-06-01 10:01:00");
        r.writeGps = true;
        r.gps = {Fix(4807.0 + i, 1131.0)};
        card.AddRecording("FILE000" + std::to_string(i + 1) + ".AVI", r);
    }
    CRecordingManager manager;
    ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
    ASSERT_EQ(manager.Groups().size(), 1u);
    std::string gpx;
    ASSERT_TRUE(manager.ExportGroupGpx(0, gpx));
    const auto segments = Segments(gpx);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[1][0].lat, "48.133333");
    EXPECT_EQ(segments[1][0].time, "2015-06-01T08:01:00Z");
    EXPECT_NE(gpx.find("<name>FILE0001.AVI</name>"), std::string::npos);
    EXPECT_FALSE(manager.ExportGroupGpx(1, gpx));
    EXPECT_FALSE(manager.ExportGpx({5}, QString(), gpx));
}

TEST(GpxExportTest, UnreadableRecordingIsReported) {
    TempCard card;
    auto r = RecordingAt("2015-06-01 10:00:00");
    r.writeGps = true;
    r.gps = {Fix(4807.0, 1131.0)};
    card.AddRecording("FILE0001.MOV", r);
    CRecordingManager manager;
    ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
    ASSERT_TRUE(QFile::remove(manager.GetPath(0)));
    std::string gpx;
    EXPECT_FALSE(manager.ExportGpx({0}, QString(), gpx));
}

TEST(GpxWriterTest, UtcTimesWithAndWithoutMilliseconds) {
    EXPECT_EQ(FormatUtcTime(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(FormatUtcTime(1368770950250), "2013-05-17T06:09:10.250Z");
    EXPECT_EQ(FormatUtcTime(-1), "1969-12-31T23:59:59.999Z");
}

} // namespace
} // namespace kolvex::testing
