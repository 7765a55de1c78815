// Scanning a card whose files are not in the page cache, as a card just put
// into its reader is: the scan that reads one file at a time when the walk
// meets it against the scan with readers on threads, for several numbers of
// readers, cold and warm, and exiftool on the same card. Needs no root.
//
//     cold_scan_bench [--recordings 1000,10000] [--readers 0,1,2,4,8,16]
//                     [--runs 3] [--work DIR] [--no-exiftool] [--drop-caches]
//
// Cold: before each run every file of the card is dropped from the page
// cache with posix_fadvise(POSIX_FADV_DONTNEED). That drops the files' data
// only; the folders and the inodes stay cached, so a real first insertion
// is somewhat slower still. --drop-caches also times the runs after
// "echo 3 > /proc/sys/vm/drop_caches" (everything dropped, root only) to
// show the difference. Figures are the median of the runs; readers 0 is
// the scan one file at a time.
//
// The card (folders of 100 recordings of 3 minutes, each a few KB on disk
// with its media data a sparse hole) is written into a new folder below
// DIR (default /tmp) and removed at the end.
#include "camera_file_writer.h"

#include "library/recording_manager.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kolvex;
using namespace kolvex::fixtures;

namespace {

constexpr unsigned kSeconds = 180;
constexpr uint64_t kMediaBytes = 270ull * 1000 * 1000; // 3 minutes at 12 Mbit/s, a hole

struct Options {
    std::vector<int> recordings{1000, 10000};
    std::vector<int> readers{0, 1, 2, 4, 8, 16};
    int runs = 3;
    std::string work = "/tmp";
    bool exiftool = true;
    bool dropCaches = false;
};

std::vector<int> NumberList(const std::string& text) {
    std::vector<int> out;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        out.push_back(std::atoi(item.c_str()));
    return out;
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--recordings" && hasValue)
            o.recordings = NumberList(argv[++i]);
        else if (arg == "--readers" && hasValue)
            o.readers = NumberList(argv[++i]);
        else if (arg == "--runs" && hasValue)
            o.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--work" && hasValue)
            o.work = argv[++i];
        else if (arg == "--no-exiftool")
            o.exiftool = false;
        else if (arg == "--drop-caches")
            o.dropCaches = true;
        else
            return false;
    }
    return true;
}

void WriteCard(const std::string& card, int count) {
    for (int k = 0; k < count; ++k) {
        const std::time_t start = 1433152800 + std::time_t(k) * kSeconds;
        std::tm f{};
        gmtime_r(&start, &f);
        char date[32];
        std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &f);
        CameraRecording r;
        r.durationMs = kSeconds * 1000;
        r.textDate = date;
        r.gps = Drive(kSeconds, 1, f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min,
                      f.tm_sec);
        r.gsensor.resize(kSeconds * 10);
        r.mediaBytes = kMediaBytes;
        char path[64];
        std::snprintf(path, sizeof path, "/DCIM/%03dMEDIA/%s%04d.MP4", 100 + k / 100,
                      k % 25 == 24 ? "EVNG" : "FILE", k % 10000);
        const std::string full = card + path;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        if (!Mp4Image(r).Write(full)) {
            std::fprintf(stderr, "cold_scan_bench: cannot write %s\n", full.c_str());
            std::exit(1);
        }
    }
    ::sync(); // dirty pages cannot be dropped
}

// Drops the data of every file of the card from the page cache.
void EvictCard(const std::string& card) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(card)) {
        if (!entry.is_regular_file())
            continue;
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

bool DropAllCaches() {
    ::sync();
    std::ofstream control("/proc/sys/vm/drop_caches");
    return static_cast<bool>(control << "3\n" << std::flush);
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

bool SameEntry(const RecordingEntry& a, const RecordingEntry& b) {
    return a.startsGroup == b.startsGroup && a.flags == b.flags && a.name == b.name &&
           a.root == b.root && a.subdir == b.subdir && a.meta == b.meta;
}

bool SameGroup(const RecordingGroup& a, const RecordingGroup& b) {
    return a.index == b.index && a.firstEntry == b.firstEntry && a.count == b.count &&
           a.totalDurationMs == b.totalDurationMs && a.totalBytes == b.totalBytes &&
           a.flags == b.flags;
}

// The first scan of a card (one file at a time, the first readers count
// asked for) is the listing every later scan of it must give exactly: a
// faster scan that lists something else is no result.
struct Listing {
    std::vector<RecordingEntry> entries;
    std::vector<RecordingGroup> groups;
};

double ScanSeconds(const QString& card, int readers, size_t expected, Listing& reference) {
    CRecordingManager manager;
    manager.SetScanOptions(ScanOptions{readers, {}});
    const auto begin = std::chrono::steady_clock::now();
    manager.Load(card, QString());
    const double seconds = Seconds(std::chrono::steady_clock::now() - begin);
    if (manager.Entries().size() != expected) {
        std::fprintf(stderr, "cold_scan_bench: %zu recordings listed, %zu expected\n",
                     manager.Entries().size(), expected);
        std::exit(1);
    }
    if (reference.entries.empty()) {
        reference.entries = manager.Entries();
        reference.groups = manager.Groups();
    } else if (!std::equal(reference.entries.begin(), reference.entries.end(),
                           manager.Entries().begin(), manager.Entries().end(), SameEntry) ||
               !std::equal(reference.groups.begin(), reference.groups.end(),
                           manager.Groups().begin(), manager.Groups().end(), SameGroup)) {
        std::fprintf(stderr, "cold_scan_bench: %d readers listed the card differently\n", readers);
        std::exit(1);
    }
    return seconds;
}

double ExiftoolSeconds(const std::string& card) {
    const std::string command =
        "exiftool -r -json -n -Duration -ImageWidth -ImageHeight -GPSLatitude -GPSLongitude '" +
        card + "' >/dev/null 2>&1";
    const auto begin = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    (void)status; // exiftool's status says whether every file had every tag
    return Seconds(std::chrono::steady_clock::now() - begin);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string ModeName(int readers) {
    if (readers == 0)
        return "one file at a time";
    return std::to_string(readers) + (readers == 1 ? " reader" : " readers");
}

void BenchCard(const Options& o, int count) {
    char pattern[4096];
    std::snprintf(pattern, sizeof pattern, "%s/kolvex-cold-scan-XXXXXX", o.work.c_str());
    if (!::mkdtemp(pattern)) {
        std::perror("cold_scan_bench: mkdtemp");
        std::exit(1);
    }
    const std::string card = pattern;
    const auto writeBegin = std::chrono::steady_clock::now();
    WriteCard(card, count);
    std::printf("\n%d recordings of 3 minutes in %s (written in %.1f s)\n", count, card.c_str(),
                Seconds(std::chrono::steady_clock::now() - writeBegin));
    const QString qcard = QString::fromStdString(card);
    const size_t expected = static_cast<size_t>(count);

    // Runs interleaved, so that a drift of the machine touches every mode.
    std::map<int, std::vector<double>> cold, warm, dropped;
    Listing reference;
    const bool canDrop = o.dropCaches && DropAllCaches();
    if (o.dropCaches && !canDrop)
        std::printf("  (dropping all caches is not allowed here)\n");
    for (int run = 0; run < o.runs; ++run) {
        for (int readers : o.readers) {
            EvictCard(card);
            cold[readers].push_back(ScanSeconds(qcard, readers, expected, reference));
            ScanSeconds(qcard, readers, expected, reference); // warm-up
            warm[readers].push_back(ScanSeconds(qcard, readers, expected, reference));
            if (canDrop && DropAllCaches())
                dropped[readers].push_back(ScanSeconds(qcard, readers, expected, reference));
        }
    }
    std::printf("  every scan listed the same %zu recordings in %zu groups\n",
                reference.entries.size(), reference.groups.size());
    const double baseCold = Median(cold[o.readers.front()]);
    const double baseWarm = Median(warm[o.readers.front()]);
    std::printf("  %-20s %10s %8s %10s %8s%s\n", "scan", "cold ms", "x", "warm ms", "x",
                canDrop ? "  all caches dropped ms" : "");
    for (int readers : o.readers) {
        const double c = Median(cold[readers]);
        const double w = Median(warm[readers]);
        std::printf("  %-20s %10.1f %7.2fx %10.1f %7.2fx", ModeName(readers).c_str(), c * 1e3,
                    baseCold / c, w * 1e3, baseWarm / w);
        if (canDrop)
            std::printf("  %10.1f", Median(dropped[readers]) * 1e3);
        std::printf("\n");
    }
    if (o.exiftool && std::system("command -v exiftool >/dev/null 2>&1") == 0) {
        EvictCard(card);
        const double c = ExiftoolSeconds(card);
        const double w = ExiftoolSeconds(card);
        std::printf("  %-20s %10.1f %8s %10.1f %8s  (one run each; %s is %.0fx faster cold, "
                    "%.0fx warm)\n",
                    "exiftool", c * 1e3, "", w * 1e3, "", ModeName(o.readers.front()).c_str(),
                    c / baseCold, w / baseWarm);
    }
    std::printf("  (x: how many times faster than %s)\n", ModeName(o.readers.front()).c_str());
    std::error_code ignored;
    std::filesystem::remove_all(card, ignored);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o) || o.readers.empty()) {
        std::fprintf(stderr, "Usage: cold_scan_bench [--recordings 1000,10000] [--readers "
                             "0,1,2,4,8,16] [--runs 3] [--work DIR] [--no-exiftool] "
                             "[--drop-caches]\n");
        return 64;
    }
    std::printf("Scanning a card, cold (page cache dropped file by file) and warm; median of %d "
                "runs\n",
                o.runs);
    for (int count : o.recordings)
        BenchCard(o, count);
    return 0;
}
