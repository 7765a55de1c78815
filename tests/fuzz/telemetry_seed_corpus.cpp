#include "telemetry_seed_corpus.h"

#include <cstring>

namespace kolvex::fuzz {

using namespace kolvex::fixtures;

namespace {

using Seeds = std::vector<std::pair<std::string, Bytes>>;

Bytes FromText(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

GpmfSecond DrivingSecond(bool gps9) {
    GpmfSecond s;
    s.gps9 = gps9;
    s.gps9Days = 5630;
    s.gps9Seconds = 43200;
    for (int i = 0; i < 18; ++i)
        s.gps.push_back({48.1 + i * 1e-5, 11.5 + i * 1e-5, 520.0 + i, 13.9, 14.0});
    for (int i = 0; i < 20; ++i)
        s.accl.push_back({9.81, 0.3 * i, -0.2 * i});
    return s;
}

void AddGpmf(Seeds& seeds) {
    seeds.emplace_back("gpmf-gps5", GpmfPayload(DrivingSecond(false)));
    seeds.emplace_back("gpmf-gps9", GpmfPayload(DrivingSecond(true)));
    GpmfSecond oriented = DrivingSecond(false);
    oriented.orientation = "ZXY";
    oriented.fix = 0;
    oriented.gpsu.clear();
    seeds.emplace_back("gpmf-orin-nofix", GpmfPayload(oriented));
    // A record whose length runs past its container.
    Bytes nest = GpmfNest("DEVC", GpmfKlv("STNM", 'c', 4, 1, FromText("ACCL")));
    nest[6] = 0x7F;
    seeds.emplace_back("gpmf-long-child", nest);
    seeds.emplace_back("gpmf-empty", Bytes{});
}

// The fuzz program reads CAMM input as packets, each after its length byte.
Bytes LengthPrefixed(const std::vector<Bytes>& packets) {
    Bytes out;
    for (const auto& p : packets) {
        out.push_back(static_cast<uint8_t>(p.size()));
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

void AddCamm(Seeds& seeds) {
    CammGpsReport report;
    report.gpsTime = 1117627200;
    report.latitude = 48.1;
    report.longitude = 11.5;
    report.velocityEast = 10;
    report.velocityNorth = 5;
    seeds.emplace_back("camm-all",
                       LengthPrefixed({CammAccel(0.1f, 9.8f, 0.2f), CammGyro(0.01f, 0.02f, 0.03f),
                                       CammPosition(48.1, 11.5, 520), CammGps(report)}));
    seeds.emplace_back("camm-positions", LengthPrefixed({CammPosition(48.1, 11.5, 520),
                                                         CammPosition(48.1001, 11.5001, 521),
                                                         CammPosition(48.1002, 11.5002, 522)}));
    report.fixType = 0;
    seeds.emplace_back("camm-nofix", LengthPrefixed({CammGps(report)}));
    Bytes cut = CammGps(report);
    cut.resize(cut.size() / 2);
    seeds.emplace_back("camm-cut", LengthPrefixed({cut}));
}

void AddFreeGps(Seeds& seeds) {
    FreeGpsFix fix;
    fix.latitude = 4806.0f;
    fix.longitude = 1130.0f;
    fix.knots = 27;
    fix.bearing = 90;
    seeds.emplace_back("freegps-box", FreeGpsBox(fix));
    fix.status = 'V';
    seeds.emplace_back("freegps-void", FreeGpsBox(fix));
    fix.status = 'A';
    fix.northSouth = 'S';
    fix.eastWest = 'W';
    seeds.emplace_back("freegps-southwest", FreeGpsBox(fix));
    seeds.emplace_back("freegps-index",
                       FreeGpsIndex({{4096, 256}, {8192, 256}, {0xFFFFFF00u, 0xFFFFu}}));
}

void AddNmea(Seeds& seeds) {
    std::string drive;
    for (int s = 0; s < 5; ++s) {
        drive += NmeaSentence(RmcBody(12, 0, s, true, 48.1 + s * 1e-4, 11.5, 27, 90, 1, 6, 15));
        drive += NmeaSentence(GgaBody(12, 0, s, 1, 48.1 + s * 1e-4, 11.5, 520));
    }
    seeds.emplace_back("nmea-drive", FromText(drive));
    seeds.emplace_back("nmea-nofix",
                       FromText(NmeaSentence(RmcBody(12, 0, 0, false, 0, 0, 0, 0, 1, 6, 15)) +
                                NmeaSentence(GgaBody(12, 0, 0, 0, 0, 0, 0))));
    std::string bad = NmeaSentence(RmcBody(12, 0, 1, true, 48.1, 11.5, 27, 90, 1, 6, 15));
    bad[bad.size() - 3] ^= 1; // the checksum no longer matches
    seeds.emplace_back("nmea-bad-checksum", FromText(bad + "$GPRMC,,,,\r\n\n\r$*00"));
}

} // namespace

std::vector<std::pair<std::string, Bytes>> TelemetrySeedCorpus(int reader) {
    Seeds seeds;
    switch (reader) {
    case 0:
        AddGpmf(seeds);
        break;
    case 1:
        AddCamm(seeds);
        break;
    case 2:
        AddFreeGps(seeds);
        break;
    default:
        AddNmea(seeds);
        break;
    }
    return seeds;
}

} // namespace kolvex::fuzz
