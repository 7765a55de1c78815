// Writes a memory card of camera recordings for the library benchmark.
//
//     write_bench_card CLIP.mp4 CARD COUNT [LAYOUT]
//
// Every recording takes the real "ftyp" and "moov" boxes of CLIP (a
// 3-minute clip as ffmpeg writes it, so the sample tables have the sizes a
// camera's would), keeps the first bytes of its media data and extends the
// media data with a sparse hole to the size a 1080p camera writes in 3
// minutes, then appends the camera's records: GPS and G-sensor blocks, their
// information records and the text date. Recordings follow each other in
// time, in folders of 100 as cameras name them.
//
// LAYOUT names another camera's card instead (README, "Other cameras'
// cards"), each recording carrying that camera's telemetry for its own
// 3 minutes (a drive north-east at 50 km/h):
//   action      GH<chapter><number>.MP4, four chapters per recording, with a
//               "gpmd" track: one GPMF payload a second with 18 GPS5
//               samples and 200 ACCL samples
//   dated       YYYY_MMDD_HHMMSS_NNNF.MP4 with its rear file ...R.MP4 beside,
//               both with freeGPS boxes (one a second) and their "gps " index
//   dual-dated  Normal/F/YYYYMMDD_HHMMSS_NF.mp4, the rear file in Normal/R,
//               an NMEA text (RMC and GGA once a second) beside the front
// Their movie box is made once per card from CLIP with the telemetry added
// as the tests' fixture writers add it; every recording then copies it and
// writes its own telemetry bytes (of the same size) in their place. The
// media data keeps the clip's size, and a sparse "free" box before the movie
// box brings the file to the camera's size.
#include "camera_file_writer.h"
#include "telemetry_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace kolvex::fixtures;

namespace {

constexpr uint64_t kMediaBytes = 270ull * 1000 * 1000; // about 12 Mbit/s for 3 minutes
constexpr size_t kRealMediaPrefix = 64 * 1024;         // the first pictures stay decodable
constexpr unsigned kRecordingSeconds = 180;

struct TopBox {
    size_t offset = 0;
    size_t size = 0;
};

bool FindTopBox(const Bytes& file, const char* type, TopBox& box) {
    size_t p = 0;
    while (p + 8 <= file.size()) {
        const size_t size = (size_t(file[p]) << 24) | (size_t(file[p + 1]) << 16) |
                            (size_t(file[p + 2]) << 8) | size_t(file[p + 3]);
        if (size < 8 || p + size > file.size())
            return false;
        if (std::equal(type, type + 4, file.begin() + static_cast<long>(p) + 4)) {
            box = {p, size};
            return true;
        }
        p += size;
    }
    return false;
}

Bytes Slice(const Bytes& file, size_t offset, size_t size) {
    return Bytes(file.begin() + static_cast<long>(offset),
                 file.begin() + static_cast<long>(offset + size));
}

std::vector<GSensorRecord> Shaking(size_t count) {
    std::vector<GSensorRecord> out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = {static_cast<int8_t>(i % 7), static_cast<int8_t>(-(int)(i % 5)), 16};
    return out;
}

bool WriteOrComplain(const FileImage& image, const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (image.Write(path))
        return true;
    std::fprintf(stderr, "write_bench_card: cannot write %s\n", path.c_str());
    return false;
}

std::string Nmea(const std::string& body) {
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

// RMC and GGA once a second, driving north-east at 50 km/h from the start.
Bytes NmeaText(const std::tm& start) {
    std::string text;
    for (unsigned s = 0; s < kRecordingSeconds; ++s) {
        std::tm t = start;
        t.tm_sec += static_cast<int>(s);
        const std::time_t instant = timegm(&t);
        gmtime_r(&instant, &t);
        char clock[16], date[16], position[64];
        std::strftime(clock, sizeof clock, "%H%M%S.00", &t);
        std::strftime(date, sizeof date, "%d%m%y", &t);
        const double minutes = 30.0 + s * 0.0055;
        std::snprintf(position, sizeof position, "5230.%04d,N,01323.%04d,E",
                      static_cast<int>(minutes * 100) % 10000,
                      static_cast<int>(minutes * 100) % 10000);
        text +=
            Nmea(std::string("GPRMC,") + clock + ",A," + position + ",27.0,45.0," + date + ",,,A");
        text += Nmea(std::string("GPGGA,") + clock + "," + position + ",1,08,0.9,40.0,M,46.9,M,,");
    }
    return Bytes(text.begin(), text.end());
}

// Where the drive is a given time into a recording that started at the
// card's first start: north-east at 50 km/h from a fixed point.
struct Place {
    double latitude = 0, longitude = 0;
};
constexpr double kSpeedMps = 50 / 3.6;
Place PlaceAfter(double seconds) {
    constexpr double kMetresPerDegree = 111320.0;
    const double metres = kSpeedMps * seconds / std::sqrt(2.0);
    const double latitude = 52.5 + metres / kMetresPerDegree;
    return {latitude, 13.38 + metres / (kMetresPerDegree * std::cos(latitude * M_PI / 180))};
}

// The GPMF track of a recording: one payload a second with 18 GPS5 and 200
// ACCL samples, as an action camera writes them.
std::vector<TimedSample> GpmfSamples(std::time_t start, double sinceFirst) {
    std::vector<TimedSample> samples;
    for (unsigned s = 0; s < kRecordingSeconds; ++s) {
        GpmfSecond second;
        const std::time_t instant = start + s;
        std::tm t{};
        gmtime_r(&instant, &t);
        char gpsu[32];
        std::strftime(gpsu, sizeof gpsu, "%y%m%d%H%M%S.000", &t);
        second.gpsu = gpsu;
        for (unsigned k = 0; k < 18; ++k) {
            const Place p = PlaceAfter(sinceFirst + s + k / 18.0);
            second.gps.push_back({p.latitude, p.longitude, 40.0, kSpeedMps, kSpeedMps});
        }
        for (unsigned k = 0; k < 200; ++k)
            second.accl.push_back({0.2 * (k % 7), 9.81, -0.1 * (k % 5)});
        samples.push_back({GpmfPayload(second), 1000});
    }
    return samples;
}

Bytes GpmfMediaData(const std::vector<TimedSample>& samples) {
    IsoBox mdat("mdat");
    for (const TimedSample& sample : samples)
        mdat.Add(sample.payload);
    return mdat.Serialize();
}

// The freeGPS boxes of a recording, one a second.
std::vector<Bytes> FreeGpsBoxes(std::time_t start, double sinceFirst) {
    std::vector<Bytes> boxes;
    for (unsigned s = 0; s < kRecordingSeconds; ++s) {
        const std::time_t instant = start + s;
        std::tm t{};
        gmtime_r(&instant, &t);
        const Place p = PlaceAfter(sinceFirst + s);
        FreeGpsFix fix;
        fix.hour = static_cast<uint32_t>(t.tm_hour);
        fix.minute = static_cast<uint32_t>(t.tm_min);
        fix.second = static_cast<uint32_t>(t.tm_sec);
        fix.year = static_cast<uint32_t>(t.tm_year % 100);
        fix.month = static_cast<uint32_t>(t.tm_mon + 1);
        fix.day = static_cast<uint32_t>(t.tm_mday);
        const auto ddmm = [](double degrees) {
            const double whole = std::floor(degrees);
            return static_cast<float>(whole * 100 + (degrees - whole) * 60);
        };
        fix.latitude = ddmm(p.latitude);
        fix.longitude = ddmm(p.longitude);
        fix.knots = static_cast<float>(kSpeedMps * 3600 / 1852);
        fix.bearing = 45;
        boxes.push_back(FreeGpsBox(fix));
    }
    return boxes;
}

Bytes Concatenated(const std::vector<Bytes>& pieces) {
    Bytes out;
    for (const Bytes& piece : pieces)
        out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

// The telemetry bytes that another camera's recording carries between its
// media data and its movie box (none for the NMEA layout).
Bytes TelemetryBetween(const std::string& layout, std::time_t start, double sinceFirst) {
    if (layout == "action")
        return GpmfMediaData(GpmfSamples(start, sinceFirst));
    if (layout == "dated")
        return Concatenated(FreeGpsBoxes(start, sinceFirst));
    return {};
}

// Another camera's recording made once: the clip with the telemetry of the
// first recording, cut into what every recording copies.
struct OtherCameraFile {
    Bytes head;             // up to and with the kept media data
    uint64_t mediaHole = 0; // the rest of the clip's media data
    size_t telemetrySize = 0;
    uint64_t padding = 0; // the sparse "free" box
    Bytes movie;
};

bool MakeOtherCameraFile(const Bytes& clip, const std::string& layout, std::time_t firstStart,
                         OtherCameraFile& out) {
    Bytes file = clip;
    if (layout == "action")
        file = AddMetadataTrack(clip, "gpmd", GpmfSamples(firstStart, 0));
    else if (layout == "dated")
        file = AddFreeGpsBoxes(clip, FreeGpsBoxes(firstStart, 0));
    TopBox mdat, moov;
    if (!FindTopBox(file, "mdat", mdat) || !FindTopBox(file, "moov", moov) ||
        mdat.offset + mdat.size > moov.offset || moov.offset + moov.size != file.size())
        return false;
    const size_t kept = std::min(kRealMediaPrefix, mdat.size - 8);
    const size_t mediaEnd = mdat.offset + mdat.size;
    out.head = Slice(file, 0, mdat.offset + 8 + kept);
    out.mediaHole = mdat.size - 8 - kept;
    out.telemetrySize = moov.offset - mediaEnd;
    out.movie = Slice(file, moov.offset, moov.size);
    // The media data and the free box together take what the camera's
    // media data takes.
    const uint64_t taken = mdat.size - 8 + out.telemetrySize + 8;
    out.padding = kMediaBytes > taken ? kMediaBytes - taken : 0;
    // Every recording writes its own telemetry where the first one's is.
    return Slice(file, mediaEnd, out.telemetrySize) == TelemetryBetween(layout, firstStart, 0);
}

FileImage OtherCameraImage(const OtherCameraFile& file, const Bytes& telemetry) {
    FileImage image;
    image.Append(file.head).AppendHole(file.mediaHole).Append(telemetry);
    Bytes freeHeader;
    PutBE32(freeHeader, static_cast<uint32_t>(8 + file.padding));
    PutText(freeHeader, "free");
    image.Append(freeHeader).AppendHole(file.padding);
    image.Append(file.movie);
    return image;
}

bool WriteOtherCamera(const std::string& card, const std::string& layout, int k, const std::tm& f,
                      const FileImage& image) {
    char path[160];
    if (layout == "action") {
        std::snprintf(path, sizeof path, "%s/DCIM/%03dGOPRO/GH%02d%04d.MP4", card.c_str(),
                      100 + k / 100, k % 4 + 1, k / 4 + 1);
        return WriteOrComplain(image, path);
    }
    if (layout == "dated") {
        char front[160];
        std::snprintf(front, sizeof front, "%s/DCIM/Movie/%04d_%02d%02d_%02d%02d%02d_%03dF.MP4",
                      card.c_str(), f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min,
                      f.tm_sec, k % 1000);
        std::string rear = front;
        rear[rear.size() - 5] = 'R';
        return WriteOrComplain(image, front) && WriteOrComplain(image, rear);
    }
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d_%02d%02d%02d", f.tm_year + 1900, f.tm_mon + 1,
                  f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec);
    const std::string base = card + "/Normal/";
    const std::string front = base + "F/" + stamp + "_NF.mp4";
    const std::string rear = base + "R/" + stamp + "_NR.mp4";
    FileImage nmea;
    nmea.Append(NmeaText(f));
    return WriteOrComplain(image, front) && WriteOrComplain(image, rear) &&
           WriteOrComplain(nmea, base + "F/" + stamp + "_NF.NMEA");
}

} // namespace

int main(int argc, char** argv) {
    const std::string layout = argc == 5 ? argv[4] : "camera";
    if ((argc != 4 && argc != 5) ||
        (layout != "camera" && layout != "action" && layout != "dated" && layout != "dual-dated")) {
        std::fprintf(
            stderr,
            "Usage: write_bench_card CLIP.mp4 CARD COUNT [camera|action|dated|dual-dated]\n");
        return 64;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const Bytes clip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TopBox ftyp, mdat, moov;
    if (!FindTopBox(clip, "ftyp", ftyp) || !FindTopBox(clip, "mdat", mdat) ||
        !FindTopBox(clip, "moov", moov) || mdat.offset > moov.offset) {
        std::fprintf(stderr, "write_bench_card: %s is not an MP4 with its movie box last\n",
                     argv[1]);
        return 1;
    }
    // Everything before the media data (ftyp, free) is copied as it is so
    // that the sample offsets in "moov" still point at the real pictures.
    const Bytes head = Slice(clip, 0, mdat.offset);
    const size_t realPayload = std::min(kRealMediaPrefix, mdat.size - 8);
    const Bytes mediaStart = Slice(clip, mdat.offset + 8, realPayload);
    const Bytes movie = Slice(clip, moov.offset, moov.size);
    Bytes mdatHeader;
    PutBE32(mdatHeader, static_cast<uint32_t>(8 + kMediaBytes));
    PutText(mdatHeader, "mdat");

    const std::string card = argv[2];
    const int count = std::atoi(argv[3]);
    const std::time_t firstStart = 1433152800; // 2015-06-01 10:00:00 UTC
    OtherCameraFile other;
    if (layout != "camera" && !MakeOtherCameraFile(clip, layout, firstStart, other)) {
        std::fprintf(stderr, "write_bench_card: cannot add the %s telemetry to %s\n",
                     layout.c_str(), argv[1]);
        return 1;
    }
    for (int k = 0; k < count; ++k) {
        const std::time_t start = firstStart + std::time_t(k) * kRecordingSeconds;
        std::tm f{};
        gmtime_r(&start, &f);
        if (layout != "camera") {
            const Bytes telemetry =
                TelemetryBetween(layout, start, static_cast<double>(start - firstStart));
            if (telemetry.size() != other.telemetrySize) {
                std::fprintf(stderr, "write_bench_card: telemetry of recording %d changed size\n",
                             k + 1);
                return 1;
            }
            if (!WriteOtherCamera(card, layout, k, f, OtherCameraImage(other, telemetry)))
                return 1;
            continue;
        }
        char date[32];
        std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &f);
        const auto gps = Drive(kRecordingSeconds, 1, f.tm_year + 1900, f.tm_mon + 1, f.tm_mday,
                               f.tm_hour, f.tm_min, f.tm_sec);
        FileImage image;
        image.Append(head).Append(mdatHeader).Append(mediaStart);
        image.AppendHole(kMediaBytes - realPayload);
        image.Append(movie);
        image.Append(IsoBox("gps0").Add(GpsBlock(gps)).Serialize());
        image.Append(IsoBox("gsen").Add(GSensorBlock(Shaking(kRecordingSeconds * 10))).Serialize());
        image.Append(IsoBox("gpsa").Add(InfoRecord(1)).Serialize());
        image.Append(IsoBox("gsea").Add(InfoRecord(10, 8)).Serialize());
        image.Append(IsoBox("IDIT").Add(TextDate(date)).Serialize());

        char folder[64], name[32];
        std::snprintf(folder, sizeof folder, "/DCIM/%03dMEDIA/", 100 + k / 100);
        std::snprintf(name, sizeof name, k % 25 == 24 ? "EVNG%04d.MP4" : "FILE%04d.MP4", k + 1);
        std::filesystem::create_directories(card + folder);
        if (!image.Write(card + folder + name)) {
            std::fprintf(stderr, "write_bench_card: cannot write %s%s%s\n", card.c_str(), folder,
                         name);
            return 1;
        }
    }
    return 0;
}
