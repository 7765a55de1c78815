// Writes a memory card of camera recordings for the library benchmark.
//
//     write_bench_card CLIP.mp4 CARD COUNT
//
// Every recording takes the real "ftyp" and "moov" boxes of CLIP (a
// 3-minute clip as ffmpeg writes it, so the sample tables have the sizes a
// camera's would), keeps the first bytes of its media data and extends the
// media data with a sparse hole to the size a 1080p camera writes in 3
// minutes, then appends the camera's records: GPS and G-sensor blocks, their
// information records and the text date. Recordings follow each other in
// time, in folders of 100 as cameras name them.
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "Usage: write_bench_card CLIP.mp4 CARD COUNT\n");
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
