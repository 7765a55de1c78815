// kolvex-cli scan, kml and gpx: the contract outside checks rely on.
#include "card_fixture.h"
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex::testing {
namespace {

QJsonObject Json(const CliRun& run) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return doc.object();
}

TEST(CliScanTest, ListsRecordingsAndGroupsOfAFolder) {
    TempCard card;
    card.AddRecording("DCIM/FILE0002.AVI", "2015-06-01 10:01:00", 60000);
    card.AddRecording("DCIM/EVNG0001.AVI", "2015-06-01 10:00:00", 60000);
    card.AddRecording("FILE0003.MOV", "2015-06-01 12:00:00", 30000);
    card.AddFile("notes.txt", "");
    const CliRun run = Cli({"scan", card.Root()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject json = Json(run);
    EXPECT_EQ(json["scanned"].toInt(), 4);
    const QJsonArray recordings = json["recordings"].toArray();
    ASSERT_EQ(recordings.size(), 3);
    const QJsonObject first = recordings[0].toObject();
    EXPECT_EQ(first["name"].toString(), "EVNG0001.AVI");
    EXPECT_EQ(first["root"].toString(), card.Root() + "/");
    EXPECT_EQ(first["subdir"].toString(), "DCIM/");
    EXPECT_EQ(first["flags"].toInt(), 1);
    EXPECT_EQ(first["startsGroup"].toInt(), 1);
    EXPECT_EQ(first["width"].toInt(), 1920);
    EXPECT_EQ(first["durationMs"].toInt(), 60000);
    for (const char* key : {"gpsOffset", "gpsSize", "gsensorOffset", "gsensorSize", "height",
                            "startTime", "durationSec", "fileLength", "gpsInfo", "gsensorInfo"})
        EXPECT_TRUE(first.contains(key)) << key;
    EXPECT_EQ(recordings[1].toObject()["startsGroup"].toInt(), 0);
    const QJsonArray groups = json["groups"].toArray();
    ASSERT_EQ(groups.size(), 2);
    const QJsonObject group = groups[0].toObject();
    EXPECT_EQ(group["index"].toInt(), 0);
    EXPECT_EQ(group["firstEntry"].toInt(), 0);
    EXPECT_EQ(group["count"].toInt(), 2);
    EXPECT_EQ(group["totalDurationMs"].toInt(), 120000);
    EXPECT_EQ(group["flags"].toInt(), 1);
    EXPECT_EQ(group["totalBytes"].toInteger(),
              first["fileLength"].toInteger() + recordings[1].toObject()["fileLength"].toInteger());
    EXPECT_EQ(groups[1].toObject()["firstEntry"].toInt(), 2);
}

TEST(CliScanTest, SingleFileKeepsThePathAsGivenAndMissingPathsExitTwo) {
    TempCard card;
    card.AddRecording("DCIM/my trip.MP4", "2015-06-01 10:00:00", 60000);
    card.AddRecording("DCIM/FILE0001.MP4", "2015-06-01 11:00:00", 60000);
    CliRun run = Cli({"scan", "DCIM/my trip.MP4"}, card.Root());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonObject json = Json(run);
    EXPECT_TRUE(json["scanned"].isNull());
    ASSERT_EQ(json["recordings"].toArray().size(), 1);
    const QJsonObject entry = json["recordings"].toArray()[0].toObject();
    EXPECT_EQ(entry["root"].toString(), "DCIM");
    EXPECT_EQ(entry["subdir"].toString(), "");
    EXPECT_EQ(entry["name"].toString(), "my trip.MP4");

    // A folder scan applies the naming rule and ends the folder with '/'.
    run = Cli({"scan", "DCIM"}, card.Root());
    ASSERT_EQ(run.exitCode, 0);
    const QJsonArray scanned = Json(run)["recordings"].toArray();
    ASSERT_EQ(scanned.size(), 1);
    EXPECT_EQ(scanned[0].toObject()["name"].toString(), "FILE0001.MP4");
    EXPECT_EQ(scanned[0].toObject()["root"].toString(), "DCIM/");

    for (const QString& missing : {card.Root() + "/absent", card.Root() + "/absent/FILE0001.MP4"}) {
        run = Cli({"scan", missing});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_FALSE(run.err.isEmpty());
    }
}

// However many threads read the files, the output is the same, also for
// files and folders the user may not read.
TEST(CliScanTest, EveryNumberOfReadersPrintsTheSameScan) {
    TempCard card;
    for (int k = 0; k < 60; ++k) {
        char name[48];
        std::snprintf(name, sizeof name, "DCIM/1%02dMEDIA/%s%04d.%s", k / 20,
                      k % 6 == 5 ? "EVNG" : "FILE", k, k % 4 == 3 ? "AVI" : "MP4");
        // Pairs of recordings start at the same second.
        char start[32];
        std::snprintf(start, sizeof start, "2015-06-01 10:%02d:00", k / 2);
        card.AddRecording(name, start, 30000);
    }
    card.AddFile("DCIM/100MEDIA/FILE0100.MP4", "not a recording");
    const std::string closedFile = card.Path("DCIM/101MEDIA/FILE0101.MP4");
    card.AddRecording("DCIM/101MEDIA/FILE0101.MP4", "2015-06-01 11:00:00");
    card.AddRecording("DCIM/CLOSED/FILE0102.MP4", "2015-06-01 11:01:00");
    ASSERT_EQ(::chmod(QFile::encodeName(card.Root()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(closedFile.c_str(), 0), 0);
    ASSERT_EQ(::chmod(card.Path("DCIM/CLOSED").c_str(), 0), 0);
    CliOptions user;
    user.unprivileged = true;

    const CliRun one = Cli({"scan", "--readers", "0", card.Root()}, user);
    ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
    if (::geteuid() == 0) {
        // Run as another user, the closed file and folder are left out.
        EXPECT_FALSE(one.out.contains("FILE0101.MP4"));
        EXPECT_FALSE(one.out.contains("FILE0102.MP4"));
        EXPECT_TRUE(one.err.contains("cannot read the folder")) << one.err.toStdString();
    }
    EXPECT_EQ(Json(one)["recordings"].toArray().size(), ::geteuid() == 0 ? 60 : 62);
    for (const QStringList& readers :
         {QStringList{}, QStringList{"--readers", "1"}, QStringList{"--readers", "5"}}) {
        const CliRun run = Cli(QStringList{"scan"} + readers + QStringList{card.Root()}, user);
        EXPECT_EQ(run.exitCode, 0) << readers.join(' ').toStdString();
        EXPECT_EQ(run.out, one.out) << readers.join(' ').toStdString();
        EXPECT_EQ(run.err, one.err) << readers.join(' ').toStdString();
    }
    ::chmod(card.Path("DCIM/CLOSED").c_str(), 0755);

    for (const QStringList& wrong :
         {QStringList{"--readers", "65"}, QStringList{"--readers", "-1"},
          QStringList{"--readers", "x"}, QStringList{"--readers", ""}, QStringList{"--readers"}}) {
        const CliRun run = Cli(QStringList{"scan"} + wrong + QStringList{card.Root()});
        EXPECT_EQ(run.exitCode, 64) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(CliExportTest, KmlAndGpxOfOneRecording) {
    TempCard card;
    auto r = RecordingAt("2013-05-17 08:09:10");
    r.writeGps = true;
    fixtures::GpsRecord fix;
    fix.latitude = 2232.615;
    fix.longitude = 11356.78;
    fix.altitude = 35;
    fix.flags = 1;
    r.gps = {fix};
    card.AddRecording("MYTRIP.MP4", r);

    CliRun run = Cli({"kml", card.Root() + "/MYTRIP.MP4", "--out", card.Root() + "/kml"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString kml = QString::fromUtf8(run.out).trimmed();
    EXPECT_EQ(kml, card.Root() + "/kml/MYTRIP_2013_05_17_08-09-10.KML");
    QFile file(kml);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("113.946333,22.543583,35\n"));

    // A relative folder still gives the file's full path.
    run = Cli({"kml", "MYTRIP.MP4", "--out", "relative"}, card.Root());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.out).trimmed(),
              card.Root() + "/relative/MYTRIP_2013_05_17_08-09-10.KML");

    run = Cli({"gpx", card.Root() + "/MYTRIP.MP4", "--out", card.Root() + "/trip.gpx"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile gpx(card.Root() + "/trip.gpx");
    ASSERT_TRUE(gpx.open(QIODevice::ReadOnly));
    const QByteArray text = gpx.readAll();
    EXPECT_TRUE(text.contains("<trkpt lat=\"22.543583\" lon=\"113.946333\">")) << text.data();
    EXPECT_TRUE(text.contains("<time>2013-05-17T06:09:10Z</time>")) << text.data();

    EXPECT_EQ(Cli({"kml", card.Root() + "/ABSENT.MP4"}).exitCode, 2);
    card.AddFile("TEXT0001.MP4", "text");
    EXPECT_EQ(Cli({"kml", card.Root() + "/TEXT0001.MP4", "--out", card.Root()}).exitCode, 1);
    EXPECT_EQ(Cli({"gpx", card.Root() + "/TEXT0001.MP4"}).exitCode, 1);
    EXPECT_EQ(Cli({"gpx"}).exitCode, 64);
}

} // namespace
} // namespace kolvex::testing
