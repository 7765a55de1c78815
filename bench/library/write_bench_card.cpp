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
// cards"), with recordings that carry none of the camera's records:
//   action      GH<chapter><number>.MP4, four chapters per recording
//   dated       YYYY_MMDD_HHMMSS_NNNF.MP4 with its rear file ...R.MP4 beside
//   dual-dated  Normal/F/YYYYMMDD_HHMMSS_NF.mp4, the rear file in Normal/R,
//               an NMEA text (RMC and GGA once a second) beside the front
#include "camera_file_writer.h"

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
    for (int k = 0; k < count; ++k) {
        const std::time_t start = firstStart + std::time_t(k) * kRecordingSeconds;
        std::tm f{};
        gmtime_r(&start, &f);
        char date[32];
        std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &f);
        const auto gps = Drive(kRecordingSeconds, 1, f.tm_year + 1900, f.tm_mon + 1, f.tm_mday,
                               f.tm_hour, f.tm_min, f.tm_sec);
        FileImage image;
        image.Append(head).Append(mdatHeader).Append(mediaStart);
        image.AppendHole(kMediaBytes - realPayload);
        image.Append(movie);
        if (layout != "camera") {
            if (!WriteOtherCamera(card, layout, k, f, image))
                return 1;
            continue;
        }
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
