// The camera's clock offset in `kolvex-cli probe` and `summary`, and the
// list by GPS time that the player's settings ask for.
#include "card_fixture.h"
#include "cli_runner.h"
#include "clock_fixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kolvex::testing {
namespace {

using namespace fixtures;

QJsonObject Json(const CliRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return QJsonDocument::fromJson(run.out).object();
}

class CliClockTest : public ::testing::Test {
protected:
    void Add(const std::string& relative, const std::string& textDate,
             std::optional<int64_t> utcStart) {
        card.AddRecording(relative, DatedOnly(textDate));
        if (utcStart)
            card.AddFile(relative.substr(0, relative.rfind('.')) + ".NMEA",
                         NmeaSeconds(*utcStart, 60));
    }
    QString File(const std::string& relative) const {
        return QString::fromStdString(card.Path(relative));
    }
    // A folder whose Kolvex.ini the commands read, as the player's.
    QString SettingsFolder(const QString& ini) {
        QFile file(settings.filePath(QStringLiteral("Kolvex.ini")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini.toUtf8());
        return settings.path();
    }

    ScopedTimeZone zone;
    TempCard card;
    QTemporaryDir settings;
};

TEST_F(CliClockTest, ProbeTellsTheOffsetOnlyWhereTheRecordingCarriesGpsTime) {
    Add("DCIM/CAMF/MOVA0010.MP4", "2026-05-14 08:15:00", kSummerUtc); // 3 min fast
    Add("Normal/F/20260514_081200_NF.mp4", "", kSummerUtc);           // on time
    Add("DCIM/CAMF/MOVA0020.MP4", "2026-05-14 08:12:00", std::nullopt);
    card.AddRecording("DCIM/CAMF/MOVA0030.MP4", "2026-05-14 08:13:00");

    const QJsonObject fast = Json(Cli({"probe", File("DCIM/CAMF/MOVA0010.MP4")}));
    EXPECT_EQ(fast["gpsStartMs"].toInteger(), kSummerUtc * 1000);
    EXPECT_EQ(fast["cameraStartTime"].toInteger(), kSummerUtc + 180);
    EXPECT_EQ(fast["startTime"].toInteger(), kSummerUtc + 180);
    EXPECT_EQ(fast["clockOffsetSec"].toInteger(), 7380);
    EXPECT_TRUE(fast["clockLikeZone"].toBool());
    EXPECT_EQ(fast["clockZoneSec"].toInteger(), 7200);
    EXPECT_EQ(fast["clockErrorSec"].toInteger(), 180);

    // The dated name is the camera's time, as a scan takes it.
    const QJsonObject named = Json(Cli({"probe", File("Normal/F/20260514_081200_NF.mp4")}));
    EXPECT_EQ(named["cameraStartTime"].toInteger(), kSummerUtc);
    EXPECT_EQ(named["clockOffsetSec"].toInteger(), 7200);
    EXPECT_EQ(named["clockErrorSec"].toInteger(), 0);

    // Without GPS time: the members as they always were, nothing added.
    QStringList plain = {"gpsOffset",  "gpsSize",    "gsensorOffset", "gsensorSize",
                         "width",      "height",     "startTime",     "durationSec",
                         "durationMs", "fileLength", "gpsInfo",       "gsensorInfo"};
    plain.sort(); // as keys() gives them
    EXPECT_EQ(Json(Cli({"probe", File("DCIM/CAMF/MOVA0030.MP4")})).keys(), plain);
    const QJsonObject noGps = Json(Cli({"probe", File("DCIM/CAMF/MOVA0020.MP4")}));
    EXPECT_FALSE(noGps.contains("gpsStartMs"));
    EXPECT_FALSE(noGps.contains("clockOffsetSec"));
}

TEST_F(CliClockTest, SummaryGivesEachRecordingsAndTheCardsOffset) {
    Add("DCIM/CAMF/MOVA0010.MP4", "2026-05-14 08:15:00", kSummerUtc);
    Add("DCIM/CAMF/MOVA0020.MP4", "2026-05-14 08:16:00", kSummerUtc + 60);
    Add("DCIM/CAMF/MOVA0030.MP4", "2026-05-14 08:17:00", kSummerUtc + 121);
    card.AddRecording("DCIM/CAMF/MOVA0040.MP4", "2026-05-14 08:18:00");
    const QJsonObject summary = Json(Cli({"summary", card.Root()}, SettingsFolder("")));
    const QJsonArray recordings = summary["recordings"].toArray();
    ASSERT_EQ(recordings.size(), 4);
    EXPECT_EQ(recordings[0].toObject()["clockOffsetSec"].toInteger(), 7380);
    EXPECT_EQ(recordings[2].toObject()["clockOffsetSec"].toInteger(), 7379);
    EXPECT_FALSE(recordings[3].toObject().contains("clockOffsetSec"));
    EXPECT_FALSE(recordings[3].toObject().contains("gpsStartMs"));
    const QJsonObject cardFigures = summary["card"].toObject();
    EXPECT_EQ(cardFigures["clockOffsetSec"].toInteger(), 7380);
    EXPECT_EQ(cardFigures["clockZoneSec"].toInteger(), 7200);
    EXPECT_EQ(cardFigures["clockErrorSec"].toInteger(), 180);
}

TEST_F(CliClockTest, SummaryListsByGpsTimeWhenThePlayersSettingsSaySo) {
    // A camera on UTC, one recording without GPS, and another camera's
    // recording on local summer time.
    Add("DCIM/CAMF/MOVA0010.MP4", "2026-05-14 06:12:00", kSummerUtc);
    Add("DCIM/CAMF/MOVA0020.MP4", "2026-05-14 06:13:00", kSummerUtc + 60);
    Add("DCIM/CAMF/MOVA0030.MP4", "2026-05-14 06:14:00", std::nullopt);
    Add("Normal/F/20260514_081100_NF.mp4", "", kSummerUtc - 60);
    const auto order = [](const QJsonObject& summary) {
        QStringList names;
        for (const QJsonValue& r : summary["recordings"].toArray())
            names << r.toObject()["name"].toString() + QStringLiteral("/G") +
                         QString::number(r.toObject()["group"].toInt());
        return names.join(u' ').toStdString();
    };
    EXPECT_EQ(
        order(Json(Cli({"summary", card.Root()}, SettingsFolder("[UI]\nLIST_BY_GPS_TIME=0\n")))),
        "MOVA0010.MP4/G0 MOVA0020.MP4/G0 MOVA0030.MP4/G0 20260514_081100_NF.mp4/G1");
    EXPECT_EQ(
        order(Json(Cli({"summary", card.Root()}, SettingsFolder("[UI]\nLIST_BY_GPS_TIME=1\n")))),
        "MOVA0030.MP4/G0 20260514_081100_NF.mp4/G1 MOVA0010.MP4/G1 MOVA0020.MP4/G1");
}

} // namespace
} // namespace kolvex::testing
