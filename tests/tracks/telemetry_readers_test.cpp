// The telemetry readers on payloads written byte by byte: good data, data
// cut short, lengths that claim more than their parent, impossible values.
#include "telemetry_writer.h"
#include "temp_dir.h"

#include "tracks/camm_reader.h"
#include "tracks/freegps_reader.h"
#include "tracks/gpmf_reader.h"
#include "tracks/gps_sample.h"
#include "tracks/nmea_reader.h"
#include "tracks/parse_recording.h"
#include "tracks/recording_blocks.h"
#include "tracks/telemetry_blocks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;

GpmfSecond OneSecond() {
    GpmfSecond s;
    s.gpsu = "150601120000.000";
    for (int i = 0; i < 10; ++i)
        s.gps.push_back({48.1 + i * 0.0001, 11.5 - i * 0.0001, 520.5, 15.25, 15.3});
    for (int i = 0; i < 20; ++i)
        s.accl.push_back({1.0, -2.0, 9.80665}); // stored Y, -X, Z
    return s;
}

TEST(GpmfReaderTest, Gps5WithScaleTimeAndFixAndAcclInCameraAxes) {
    const Bytes payload = GpmfPayload(OneSecond());
    TelemetryTrack track;
    ReadGpmfPayload(payload.data(), payload.size(), 2.0, 1.0, track);
    ASSERT_EQ(track.fixes.size(), 10u);
    const TelemetryFix& f = track.fixes[3];
    EXPECT_NEAR(f.latitude, 48.1003, 1e-7);
    EXPECT_NEAR(f.longitude, 11.4997, 1e-7);
    EXPECT_NEAR(f.altitude, 520.5, 1e-3);
    EXPECT_NEAR(f.speedMps, 15.25, 1e-3);
    EXPECT_TRUE(f.fix);
    EXPECT_NEAR(f.timeSec, 2.3, 1e-9);
    EXPECT_EQ(f.utcMs, 1433160000000 + 300);
    ASSERT_EQ(track.accels.size(), 20u);
    // Y, -X, Z stored: camera X = 2 m/s², Y = 1 m/s², Z = 1 G.
    EXPECT_NEAR(track.accels[0].x, 2.0 / kStandardGravity, 0.003);
    EXPECT_NEAR(track.accels[0].y, 1.0 / kStandardGravity, 0.003);
    EXPECT_NEAR(track.accels[0].z, 1.0, 0.003);
}

TEST(GpmfReaderTest, OrientationRecordDecidesTheAxes) {
    GpmfSecond s = OneSecond();
    s.gps.clear();
    s.orientation = "ZXY"; // first value camera Z, second X, third Y
    const Bytes payload = GpmfPayload(s);
    TelemetryTrack track;
    ReadGpmfPayload(payload.data(), payload.size(), 0, 1, track);
    ASSERT_FALSE(track.accels.empty());
    EXPECT_NEAR(track.accels[0].z, 1.0 / kStandardGravity, 0.003);
    EXPECT_NEAR(track.accels[0].x, -2.0 / kStandardGravity, 0.003);
    EXPECT_NEAR(track.accels[0].y, 1.0, 0.003);
}

TEST(GpmfReaderTest, Gps9CarriesItsOwnTimeAndFix) {
    GpmfSecond s = OneSecond();
    s.gps9 = true;
    s.gps9Days = 5630; // 2015-06-01
    s.gps9Seconds = 12 * 3600 + 7;
    s.fix = 2;
    const Bytes payload = GpmfPayload(s);
    TelemetryTrack track;
    ReadGpmfPayload(payload.data(), payload.size(), 0, 1, track);
    ASSERT_EQ(track.fixes.size(), 10u);
    EXPECT_EQ(track.fixes[2].utcMs, 1433160007000 + 200);
    EXPECT_TRUE(track.fixes[2].fix);
    EXPECT_NEAR(track.fixes[2].latitude, 48.1002, 1e-7);
}

TEST(GpmfReaderTest, Gps9IsTakenAloneWhereTheCameraWritesGps5Too) {
    // Newer cameras write both streams with the same fixes in one payload.
    GpmfSecond gps5 = OneSecond();
    GpmfSecond gps9 = OneSecond();
    gps9.gps9 = true;
    gps9.gps9Days = 5630;
    gps9.gps9Seconds = 12 * 3600;
    for (auto& f : gps9.gps)
        f.latitude += 1; // tells the two streams apart
    for (const auto& order : {std::vector{gps5, gps9}, std::vector{gps9, gps5}}) {
        Bytes payload = GpmfPayload(order[0]);
        Append(payload, GpmfPayload(order[1]));
        TelemetryTrack track;
        ReadGpmfPayload(payload.data(), payload.size(), 0, 1, track);
        ASSERT_EQ(track.fixes.size(), 10u);
        for (const auto& f : track.fixes)
            EXPECT_NEAR(f.latitude, 49.1, 0.01);
        EXPECT_LT(track.fixes[0].timeSec, track.fixes[9].timeSec);
    }
    // Both streams in one device, GPS5 at its own rate.
    GpmfSecond both = gps9;
    both.gps5Beside.assign(18, gps5.gps[0]);
    const Bytes oneDevice = GpmfPayload(both);
    TelemetryTrack fromBoth;
    ReadGpmfPayload(oneDevice.data(), oneDevice.size(), 0, 1, fromBoth);
    ASSERT_EQ(fromBoth.fixes.size(), 10u);
    EXPECT_NEAR(fromBoth.fixes[0].latitude, 49.1, 0.01);
    // GPS5 alone is read as before.
    const Bytes only5 = GpmfPayload(gps5);
    TelemetryTrack track;
    ReadGpmfPayload(only5.data(), only5.size(), 0, 1, track);
    EXPECT_EQ(track.fixes.size(), 10u);
}

TEST(GpmfReaderTest, NoLockAndUnknownKeys) {
    GpmfSecond s = OneSecond();
    s.fix = 0;
    Bytes payload = GpmfKlv("ZZZZ", 'L', 4, 1, Bytes{0, 0, 0, 1}); // unknown, skipped
    Append(payload, GpmfPayload(s));
    TelemetryTrack track;
    ReadGpmfPayload(payload.data(), payload.size(), 0, 1, track);
    ASSERT_EQ(track.fixes.size(), 10u);
    EXPECT_FALSE(track.fixes[0].fix);
}

TEST(GpmfReaderTest, FixOfAnyTypeAndSizeIsNoLockUnlessItIsAFixKind) {
    // Found by fuzzing: a GPSF stored as a double far beyond any integer.
    Bytes huge;
    for (uint8_t b : {0x7f, 0xef, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff})
        huge.push_back(b);
    Bytes stream = GpmfKlv("GPSF", 'd', 8, 1, huge);
    Bytes gps5;
    for (int32_t v : {481000000, 115000000, 0, 0, 0})
        PutBE32(gps5, static_cast<uint32_t>(v));
    Append(stream, GpmfKlv("SCAL", 'l', 4, 1, Bytes{0x00, 0x98, 0x96, 0x80}));
    Append(stream, GpmfKlv("GPS5", 'l', 20, 1, gps5));
    const Bytes payload = GpmfNest("STRM", stream);
    TelemetryTrack track;
    ReadGpmfPayload(payload.data(), payload.size(), 0, 1, track);
    ASSERT_EQ(track.fixes.size(), 1u);
    EXPECT_NEAR(track.fixes[0].latitude, 48.1, 1e-9);
    EXPECT_FALSE(track.fixes[0].fix);
}

TEST(GpmfReaderTest, TruncatedPayloadsNeverReadPastTheirEnd) {
    const Bytes payload = GpmfPayload(OneSecond());
    for (size_t cut = 0; cut < payload.size(); ++cut) {
        // A copy of exactly the cut length, so that ASan sees any overread.
        const Bytes part(payload.begin(), payload.begin() + static_cast<long>(cut));
        TelemetryTrack track;
        ReadGpmfPayload(part.data(), part.size(), 0, 1, track);
        EXPECT_LE(track.fixes.size(), 10u);
        EXPECT_LE(track.accels.size(), 20u);
    }
}

TEST(GpmfReaderTest, RecordClaimingMoreThanItsParentEndsThatParent) {
    Bytes stream = GpmfKlv("STNM", 'c', 3, 1, Bytes{'G', 'P', 'S'});
    // GPS5 claims 1000 samples of 20 bytes but holds one.
    Bytes gps5 = GpmfKlv("GPS5", 'l', 20, 1, Bytes(20, 0));
    gps5[6] = 0x03;
    gps5[7] = 0xe8;
    Append(stream, gps5);
    const Bytes payload = GpmfNest("DEVC", GpmfNest("STRM", stream));
    TelemetryTrack track;
    ReadGpmfPayload(payload.data(), payload.size(), 0, 1, track);
    EXPECT_TRUE(track.fixes.empty());
}

TEST(CammReaderTest, PacketTypes) {
    TelemetryTrack track;
    const Bytes accel = CammAccel(0, 0, 9.80665f);
    const Bytes gyro = CammGyro(1, 2, 3);
    const Bytes position = CammPosition(48.5, -11.25, 300);
    CammGpsReport report;
    report.gpsTime = 1433160000.0 - 315964800.0 + 16 + 0.5;
    report.latitude = -33.9;
    report.longitude = 151.2;
    report.velocityEast = 3;
    report.velocityNorth = 4;
    report.fixType = 3;
    const Bytes gps = CammGps(report);
    ReadCammPacket(accel.data(), accel.size(), 0.0, track);
    ReadCammPacket(gyro.data(), gyro.size(), 0.1, track);
    ReadCammPacket(position.data(), position.size(), 0.2, track);
    ReadCammPacket(gps.data(), gps.size(), 0.3, track);
    DeriveCammSpeeds(track);
    ASSERT_EQ(track.accels.size(), 1u);
    EXPECT_NEAR(track.accels[0].z, 1.0, 1e-6);
    ASSERT_EQ(track.fixes.size(), 2u);
    EXPECT_DOUBLE_EQ(track.fixes[0].latitude, 48.5);
    EXPECT_DOUBLE_EQ(track.fixes[0].longitude, -11.25);
    EXPECT_EQ(track.fixes[0].utcMs, -1);
    EXPECT_NEAR(track.fixes[1].speedMps, 5.0, 1e-6);
    EXPECT_NEAR(track.fixes[1].headingDeg, std::atan2(3, 4) * 180 / M_PI, 1e-4);
    EXPECT_EQ(track.fixes[1].utcMs, 1433160000500); // GPS time less 16 leap seconds
}

TEST(CammReaderTest, ShortUnknownAndImpossiblePacketsAddNothing) {
    TelemetryTrack track;
    Bytes gps = CammGps({});
    for (size_t cut = 0; cut < gps.size(); ++cut) {
        const Bytes part(gps.begin(), gps.begin() + static_cast<long>(cut));
        ReadCammPacket(part.data(), part.size(), 0, track);
    }
    Bytes unknown = CammAccel(1, 2, 3);
    unknown[2] = 42;
    ReadCammPacket(unknown.data(), unknown.size(), 0, track);
    const Bytes farAway = CammPosition(91, 0, 0);
    ReadCammPacket(farAway.data(), farAway.size(), 0, track);
    EXPECT_TRUE(track.fixes.empty());
    EXPECT_TRUE(track.accels.empty());
}

TEST(FreeGpsReaderTest, KnownLayoutUnknownLayoutAndNoFix) {
    FreeGpsFix f;
    f.hour = 23;
    f.minute = 59;
    f.second = 58;
    f.latitude = 3351.5f; // 33 deg 51.5'
    f.northSouth = 'S';
    f.longitude = 15112.25f;
    f.knots = 10;
    f.bearing = 270;
    const Bytes box = FreeGpsBox(f);
    EXPECT_EQ(IdentifyFreeGpsBox(box.data(), box.size()), FreeGpsLayout::Known);
    const auto fix = ReadFreeGpsBox(box.data(), box.size(), 4);
    ASSERT_TRUE(fix);
    EXPECT_NEAR(fix->latitude, -(33 + 51.5 / 60), 1e-5);
    EXPECT_NEAR(fix->longitude, 151 + 12.25 / 60, 1e-5);
    EXPECT_NEAR(fix->speedMps, 10 * 1852.0 / 3600, 1e-4);
    EXPECT_EQ(fix->headingDeg, 270);
    EXPECT_EQ(fix->utcMs, 1433203198000); // 2015-06-01 23:59:58 UTC

    Bytes other = box;
    other[48 + 24] = 'X'; // the status letter is neither A nor V
    EXPECT_EQ(IdentifyFreeGpsBox(other.data(), other.size()), FreeGpsLayout::Unknown);
    EXPECT_FALSE(ReadFreeGpsBox(other.data(), other.size(), 0));
    const Bytes tooShort(box.begin(), box.begin() + 60);
    EXPECT_EQ(IdentifyFreeGpsBox(tooShort.data(), tooShort.size()), FreeGpsLayout::Unknown);
    const Bytes notFreeGps = IsoBox("free").Add(Bytes(100, 0)).Serialize();
    EXPECT_EQ(IdentifyFreeGpsBox(notFreeGps.data(), notFreeGps.size()), FreeGpsLayout::NotFreeGps);

    f.status = 'V';
    const Bytes void_ = FreeGpsBox(f);
    const auto noFix = ReadFreeGpsBox(void_.data(), void_.size(), 0);
    ASSERT_TRUE(noFix);
    EXPECT_FALSE(noFix->fix);
}

TEST(FreeGpsReaderTest, IndexEntriesAreBoundedByTheirBox) {
    const Bytes index = FreeGpsIndex({{100, 256}, {356, 256}, {0, 0}});
    const auto entries = ReadFreeGpsIndex(index.data() + 8, index.size() - 8, 100);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].first, 356u);
    EXPECT_EQ(ReadFreeGpsIndex(index.data() + 8, index.size() - 8 - 3, 100).size(), 2u);
    EXPECT_EQ(ReadFreeGpsIndex(index.data() + 8, index.size() - 8, 1).size(), 1u);
}

struct NmeaCase {
    const char* name;
    std::string text;
    size_t fixes;
};

class NmeaSentenceTest : public ::testing::TestWithParam<NmeaCase> {};

TEST_P(NmeaSentenceTest, OnlyCheckedPossibleSentencesCount) {
    EXPECT_EQ(ReadNmeaText(GetParam().text).size(), GetParam().fixes) << GetParam().name;
}

std::string Corrupt(std::string sentence) {
    sentence[sentence.size() - 3] = sentence[sentence.size() - 3] == '0' ? '1' : '0';
    return sentence;
}

INSTANTIATE_TEST_SUITE_P(
    Sentences, NmeaSentenceTest,
    ::testing::Values(
        NmeaCase{"good", NmeaSentence(RmcBody(12, 0, 1, true, 48.1, 11.5, 10, 45, 1, 6, 15)), 1},
        NmeaCase{"bad checksum",
                 Corrupt(NmeaSentence(RmcBody(12, 0, 1, true, 48.1, 11.5, 10, 45, 1, 6, 15))), 0},
        NmeaCase{"no checksum",
                 "$" + RmcBody(12, 0, 1, true, 48.1, 11.5, 10, 45, 1, 6, 15) + "\r\n", 0},
        NmeaCase{"latitude minutes of 60",
                 NmeaSentence("GPRMC,120001.00,A,4860.000,N,01130.000,E,1.0,1.0,010615,,,A"), 0},
        NmeaCase{"latitude beyond the pole",
                 NmeaSentence("GPRMC,120001.00,A,9100.000,N,01130.000,E,1.0,1.0,010615,,,A"), 0},
        NmeaCase{"hour 24",
                 NmeaSentence("GPRMC,240001.00,A,4800.000,N,01130.000,E,1.0,1.0,010615,,,A"), 0},
        NmeaCase{"31 June",
                 NmeaSentence("GPRMC,120001.00,A,4800.000,N,01130.000,E,1.0,1.0,310615,,,A"), 0},
        NmeaCase{"no fix is a sample without a position",
                 NmeaSentence("GPRMC,120001.00,V,,,,,,,010615,,,N"), 1},
        NmeaCase{"GGA and RMC of one time are one fix",
                 NmeaSentence(GgaBody(12, 0, 1, 1, 48.1, 11.5, 500)) +
                     NmeaSentence(RmcBody(12, 0, 1, true, 48.1, 11.5, 10, 45, 1, 6, 15)),
                 1},
        NmeaCase{"other sentences",
                 NmeaSentence("GPGSV,1,1,00") + NmeaSentence("GPVTG,45.0,T,,M,10.0,N,18.5,K,A"),
                 0}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(NmeaReaderTest, ValuesTimesAndMidnight) {
    const std::string text =
        NmeaSentence(GgaBody(23, 59, 59, 1, -33.5, -70.25, 600.5)) +
        NmeaSentence(RmcBody(23, 59, 59, true, -33.5, -70.25, 20, 180, 31, 5, 15)) +
        NmeaSentence(GgaBody(0, 0, 0, 1, -33.5001, -70.25, 601));
    const auto fixes = ReadNmeaText(text);
    ASSERT_EQ(fixes.size(), 2u);
    EXPECT_NEAR(fixes[0].latitude, -33.5, 1e-7);
    EXPECT_NEAR(fixes[0].longitude, -70.25, 1e-7);
    EXPECT_NEAR(fixes[0].altitude, 600.5, 1e-9);
    EXPECT_NEAR(fixes[0].speedMps, 20 * 1852.0 / 3600, 1e-9);
    EXPECT_EQ(fixes[0].headingDeg, 180);
    EXPECT_EQ(fixes[0].utcMs, 1433116799000); // 2015-05-31 23:59:59 UTC
    EXPECT_EQ(fixes[1].utcMs, 1433116800000); // the GGA after midnight is on 1 June
    EXPECT_DOUBLE_EQ(fixes[1].timeSec, 1.0);
}

TEST(TelemetryBlocksTest, FixesBecomeCameraSamplesAtTheRate) {
    std::vector<TelemetryFix> fixes;
    for (int i = 0; i < 3; ++i) {
        TelemetryFix f;
        f.timeSec = i;
        f.latitude = 48.1173 + i * 0.0001;
        f.longitude = -11.5;
        f.speedMps = 10;
        f.fix = true;
        f.utcMs = 1433160000000 + i * 1000;
        fixes.push_back(f);
    }
    // A fix five seconds later: the gap between holds no fix.
    fixes.push_back(fixes.back());
    fixes.back().timeSec = 8;
    const auto block = GpsBlockFromFixes(fixes, 2, 9000, 1.5);
    ASSERT_EQ(block.size(), 18u * kGpsSampleSize);
    const GpsSample s = LoadGpsSample(block.data() + 3 * kGpsSampleSize); // 1.5 s: fix 1
    EXPECT_NEAR(s.latitude, 4807.044, 1e-6);                              // 48 deg 7.044'
    EXPECT_NEAR(s.longitude, -1130.0, 1e-9);
    EXPECT_EQ(s.speed, 36);
    EXPECT_EQ(s.heading, 0); // due north
    EXPECT_EQ(s.flags, kGpsFixValid);
    EXPECT_EQ(s.year, 15); // local time of the fix (the test runs in Europe/Berlin)
    EXPECT_EQ(s.hour, 14);
    EXPECT_EQ(s.second, 1);
    EXPECT_EQ(LoadGpsSample(block.data() + 10 * kGpsSampleSize).flags, 0); // 5 s: in the gap
    EXPECT_EQ(LoadGpsSample(block.data() + 16 * kGpsSampleSize).flags, kGpsFixValid);
}

TEST(TelemetryBlocksTest, AccelerationsAreAveragedAndClampedToTheStoredRange) {
    std::vector<TelemetryAccel> accels;
    for (int i = 0; i < 4; ++i)
        accels.push_back({i * 0.004, 0.5 + (i % 2) * 0.5, -9.0, 0});
    const auto block = GSensorBlockFromAccels(accels, 20);
    ASSERT_EQ(block.size(), 2u * kGSensorSampleSize);
    // 0.004 s apart, 100 a second: three readings in the first interval.
    EXPECT_EQ(static_cast<int8_t>(block[0]), 21);   // (0.5 + 1 + 0.5) / 3 G at 32 units per G
    EXPECT_EQ(static_cast<int8_t>(block[1]), -127); // -9 G does not fit in 4 G
    EXPECT_EQ(static_cast<int8_t>(block[3]), 32);
}

// The G-sensor samples are laid out while a track is read; readings that
// come out of time order (two streams in one payload, each restarting at
// the payload's start) must still be sorted first.
TEST(TelemetryBlocksTest, ReadingsOfARecordingAreLaidOutInTimeOrder) {
    constexpr int kSeconds = 3;
    struct Case {
        const char* name;
        bool twoStreams;
    };
    for (const Case& c : {Case{"one stream", false}, Case{"two streams", true}}) {
        SCOPED_TRACE(c.name);
        std::vector<TimedSample> samples;
        for (int s = 0; s < kSeconds; ++s) {
            // Stored Y, -X, Z: camera Y at +1 G (and -1 G in the second
            // stream), Z at 1 G.
            GpmfSecond up;
            up.gps.clear();
            up.accl.assign(100,
                           GpmfAccel{c.twoStreams ? kStandardGravity : 0, 0, kStandardGravity});
            Bytes payload = GpmfPayload(up);
            if (c.twoStreams) {
                GpmfSecond down = up;
                down.accl.assign(100, GpmfAccel{-kStandardGravity, 0, kStandardGravity});
                Append(payload, GpmfPayload(down));
            }
            samples.push_back({payload, 1000});
        }
        IsoBox moov("moov");
        moov.Add(Mvhd(1000, kSeconds * 1000));
        TrackSpec video;
        video.timeScale = 1000;
        video.duration = kSeconds * 1000;
        moov.Add(Trak(video));
        Bytes clip = Ftyp().Serialize();
        Append(clip, moov.Serialize());
        testing::TempDir dir;
        const std::string path = dir.File("GPMF.MP4");
        ASSERT_TRUE(WriteBytes(path, AddMetadataTrack(clip, "gpmd", samples)));

        VideoMetaInfo meta;
        ASSERT_TRUE(ParseRecording(path, meta));
        RecordingBlocks blocks;
        ASSERT_TRUE(ReadRecordingBlocks(path, meta, blocks));
        ASSERT_EQ(blocks.gsensor.size(), kSeconds * 100u * kGSensorSampleSize);
        // Every interval holds one reading of each stream: Y averages to 0.
        for (size_t k = 0; k < blocks.gsensor.size() / kGSensorSampleSize; ++k) {
            SCOPED_TRACE(k);
            const uint8_t* sample = blocks.gsensor.data() + k * kGSensorSampleSize;
            ASSERT_EQ(static_cast<int8_t>(sample[1]), 0);
            ASSERT_EQ(static_cast<int8_t>(sample[2]), 32);
        }
    }
}

} // namespace
} // namespace kolvex
