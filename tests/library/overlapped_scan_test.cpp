// The scan whose readers work on threads of their own against the scan that
// reads each file when the walk meets it: on every card the same list,
// groups, rows, list calls and counter, also while files vanish or change
// under the readers; the counter moves on the calling thread while files
// are still being read, and no more files are read at once than readers.
#include "card_fixture.h"
#include "recording_fakes.h"

#include "library/folder_walk.h"
#include "library/recording_manager.h"

#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kolvex::testing {
namespace {

using BeforeRead = std::function<void(const QString& path)>;

class ThreadCheckingCounter : public IScanCounterView {
public:
    void ShowScanCount(int filesVisited) override {
        counts.push_back(filesVisited);
        if (std::this_thread::get_id() != caller)
            ++callsOffTheCallingThread;
    }
    std::thread::id caller = std::this_thread::get_id();
    std::vector<int> counts;
    int callsOffTheCallingThread = 0;
};

std::string Describe(const FileIdentity& f, bool withObject) {
    std::ostringstream out;
    out << f.exists << f.isLink << ':' << f.size;
    if (withObject)
        out << ':' << f.device << ':' << f.inode << ':' << f.modifiedSec << '.' << f.modifiedNsec;
    return out.str();
}

// Every field of an entry; the card's own folder is written as CARD so that
// two cards written alike compare equal. Device, inode and times only when
// both scans saw the same files (`withObject`).
std::string Describe(const RecordingEntry& e, const QString& card, bool withObject) {
    const VideoMetaInfo& m = e.meta;
    std::ostringstream out;
    QString root = e.root;
    root.replace(card, QStringLiteral("CARD"));
    out << Text(root) << '|' << Text(e.subdir) << '|' << Text(e.name) << " flags " << e.flags
        << " starts " << e.startsGroup << " gps " << m.gpsOffset << '+' << m.gpsSize << " gsen "
        << m.gsensorOffset << '+' << m.gsensorSize << " size " << m.width << 'x' << m.height
        << " start " << m.startTime << " dur " << m.durationSec << '/' << m.durationMs << " length "
        << m.fileLength << " info";
    for (uint8_t b : m.gpsInfo)
        out << ' ' << int(b);
    for (uint8_t b : m.gsensorInfo)
        out << ' ' << int(b);
    out << " file " << Describe(e.file, withObject) << " rear " << Describe(e.rear, withObject);
    return out.str();
}

struct ScanOutcome {
    int loaded = -1;
    int scanCount = -1;
    std::vector<int> counts;
    int callsOffTheCallingThread = 0;
    CallLog lists; // the group and file list calls, in order
    std::vector<std::string> entries;
    std::vector<std::string> groups;
    std::vector<std::string> rows;
    std::vector<std::string> unreadable;
};

std::string FirstDifference(const char* what, const std::vector<std::string>& a,
                            const std::vector<std::string>& b) {
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::string left = i < a.size() ? a[i] : "(none)";
        const std::string right = i < b.size() ? b[i] : "(none)";
        if (left != right)
            return std::string(what) + " " + std::to_string(i) + ": " + left + "\n  against " +
                   right;
    }
    return "";
}

// "" when equal, else the first thing that differs.
std::string Difference(const ScanOutcome& a, const ScanOutcome& b) {
    if (a.loaded != b.loaded || a.scanCount != b.scanCount || a.counts != b.counts ||
        a.callsOffTheCallingThread != b.callsOffTheCallingThread)
        return "loaded " + std::to_string(a.loaded) + "/" + std::to_string(b.loaded) +
               ", visited " + std::to_string(a.scanCount) + "/" + std::to_string(b.scanCount) +
               ", counter calls " + std::to_string(a.counts.size()) + "/" +
               std::to_string(b.counts.size()) + " (off the calling thread " +
               std::to_string(b.callsOffTheCallingThread) + ")";
    for (const std::string& d :
         {FirstDifference("entry", a.entries, b.entries),
          FirstDifference("group", a.groups, b.groups), FirstDifference("row", a.rows, b.rows),
          FirstDifference("list call", a.lists, b.lists),
          FirstDifference("unreadable", a.unreadable, b.unreadable)}) {
        if (!d.empty())
            return d;
    }
    return "";
}

ScanOutcome Scan(const QString& folder, int readers, const QString& card, bool withObject,
                 const BeforeRead& beforeRead = {}) {
    CallLog log;
    FakeGroupList groupList(log);
    FakeFileList fileList(log);
    ThreadCheckingCounter counter;
    CRecordingManager manager;
    manager.Init(&groupList, &fileList, nullptr, nullptr, nullptr);
    manager.SetProgressView(&counter);
    manager.SetScanOptions(ScanOptions{readers, beforeRead});
    ScanOutcome o;
    o.loaded = manager.Load(folder, QString());
    o.scanCount = manager.ScanCount();
    o.counts = counter.counts;
    o.callsOffTheCallingThread = counter.callsOffTheCallingThread;
    for (std::string call : log) {
        const std::string from = Text(card);
        for (size_t at = call.find(from); at != std::string::npos; at = call.find(from, at))
            call.replace(at, from.size(), "CARD");
        o.lists.push_back(call);
    }
    for (const RecordingEntry& e : manager.Entries())
        o.entries.push_back(Describe(e, card, withObject));
    for (const RecordingGroup& g : manager.Groups()) {
        char line[160];
        std::snprintf(line, sizeof line, "%d first %d count %d %lld ms %lld bytes flags %d",
                      g.index, g.firstEntry, g.count, static_cast<long long>(g.totalDurationMs),
                      static_cast<long long>(g.totalBytes), g.flags);
        o.groups.push_back(line);
    }
    for (const RecordingRow& r : manager.Rows())
        o.rows.push_back(std::to_string(r.group) + "/" + std::to_string(r.indexInGroup) + "/" +
                         std::to_string(r.entry));
    for (const auto& u : manager.UnreadableFolders())
        o.unreadable.push_back(Text(u.path) + ": " + std::to_string(u.error));
    return o;
}

// The cards of the scan tests, and the odd ones a real card can hold.
void ScanTestCard(TempCard& card) {
    card.AddRecording("DCIM/100MEDIA/FILE0001.MOV", "2015-06-01 10:00:00");
    card.AddRecording("DCIM/100MEDIA/EVNG0002.MOV", "2015-06-01 10:01:00");
    card.AddFile("DCIM/100MEDIA/FILE0003.MOV", "not a recording");
    card.AddFile("ab", "");
    card.AddFile("DCIM/.hidden/FILE0004.MOV", "");
}

void GroupingCard(TempCard& card) {
    auto late = RecordingAt("2015-06-01 12:00:00", 60000);
    late.width = 1280;
    late.height = 720;
    card.AddRecording("DCIM/FILC0003.AVI", late);
    card.AddRecording("FILA0001.AVI", "2015-06-01 10:00:00", 60000);
    card.AddRecording("FILG0002.AVI", "2015-06-01 10:01:00", 30000);
    ::chmod(card.Path("FILG0002.AVI").c_str(), 0444);
    card.AddRecording("FILE0004.MP4", "2015-06-01 10:00:00", 180500);
    card.AddRecording("FILE0005.MP4", "2015-06-01 10:03:01", 180000);
    card.AddRecording("MOVA01234.AVI", "2015-06-01 10:09:00"); // 13 characters: no recording
}

void DeepCard(TempCard& card) {
    std::string folder;
    for (int level = 0; level <= 42; ++level) {
        char name[32];
        std::snprintf(name, sizeof name, "FILE%04d.MP4", level);
        char start[32];
        std::snprintf(start, sizeof start, "2015-06-01 10:%02d:00", level);
        card.AddRecording(folder + name, start);
        folder += "d/";
    }
}

// Links, empty and cut files, a file nobody may read (root still can),
// front and rear pairs.
void OddFilesCard(TempCard& card) {
    card.AddRecording("DCIM/FILE0001.MP4", "2015-06-01 10:00:00");
    card.AddRecording("DCIM/FILE000R.MP4", "2015-06-01 10:00:00"); // its rear file
    card.AddRecording("DCIM/FILE0002.AVI", "2015-06-01 10:01:00");
    card.AddRecording("DCIR/FILE0002.AVI", "2015-06-01 10:01:00"); // rear in the sibling folder
    card.AddFile("DCIM/FILE0003.MP4", "");
    QFile whole(QString::fromStdString(card.Path("DCIM/FILE0001.MP4")));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    card.AddFile("DCIM/FILE0004.MP4", whole.read(whole.size() / 2).toStdString());
    ASSERT_EQ(::symlink("nowhere/FILE9999.MP4", card.Path("DCIM/FILE0005.MP4").c_str()), 0);
    ASSERT_EQ(::symlink("FILE0002.AVI", card.Path("DCIM/FILE0006.AVI").c_str()), 0);
    ASSERT_EQ(::symlink("../DCIM", card.Path("DCIM/LOOP0007").c_str()), 0);
    card.AddRecording("DCIM/FILE0008.MP4", "2015-06-01 10:08:00");
    ::chmod(card.Path("DCIM/FILE0008.MP4").c_str(), 0);
}

// Many recordings in folders of 100 with what makes a scan's order matter:
// recordings that start at the same second (the sort is not stable, so
// only the same order before the sort gives the same list), AVI and MP4,
// locked and event recordings, rear files, files that do not parse and
// names the rule turns away.
constexpr int kManyRecordings = 400;

void ManyRecordingsCard(TempCard& card) {
    for (int k = 0; k < kManyRecordings; ++k) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "DCIM/%03dMEDIA/", 100 + k / 100);
        const bool avi = k % 11 == 3;
        char name[32];
        std::snprintf(name, sizeof name, "%s%04d.%s", k % 9 == 4 ? "EVNG" : "FILE", k,
                      avi ? "AVI" : "MP4");
        const std::string path = std::string(folder) + name;
        if (k % 17 == 5) {
            card.AddFile(path, "no recording");
            continue;
        }
        const int minute = k % 7 == 0 ? k - 1 : k; // shares its start with its neighbour
        char start[32];
        std::snprintf(start, sizeof start, "2015-06-%02d %02d:%02d:00", 1 + minute / 600,
                      minute / 60 % 10 + 10, minute % 60);
        card.AddRecording(path, start, 60000 + static_cast<uint32_t>(k % 3) * 1000);
        if (k % 13 == 6)
            ::chmod(card.Path(path).c_str(), 0444);
        if (k % 10 == 2) {
            std::string rear = path;
            rear[rear.size() - 5] = 'R';
            card.AddRecording(rear, start);
        }
        if (k % 5 == 1)
            card.AddFile(std::string(folder) + "INFO" + std::to_string(k) + ".TXT", "x");
    }
}

struct CardCase {
    const char* name;
    void (*write)(TempCard&);
};

const CardCase kCards[] = {
    {"the folder scan test's card", ScanTestCard},
    {"the grouping tests' card", GroupingCard},
    {"an empty card", [](TempCard&) {}},
    {"a tree 42 levels deep", DeepCard},
    {"links, empty, cut and closed files", OddFilesCard},
    {"many recordings", ManyRecordingsCard},
};

constexpr int kReaderCounts[] = {1, 2, 3, 8};

// Some files take longer, so that the readers finish out of walk order.
void Jitter(const QString& path) {
    if (path.right(8).left(4).toInt() % 5 == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(OverlappedScanTest, ListsExactlyWhatTheScanOneFileAtATimeLists) {
    for (const CardCase& c : kCards) {
        SCOPED_TRACE(c.name);
        TempCard card;
        c.write(card);
        const ScanOutcome sequential = Scan(card.Root(), 0, card.Root(), true, Jitter);
        EXPECT_EQ(sequential.loaded, 1);
        EXPECT_EQ(sequential.callsOffTheCallingThread, 0);
        for (int readers : kReaderCounts) {
            SCOPED_TRACE(std::to_string(readers) + " readers");
            EXPECT_EQ(Difference(sequential, Scan(card.Root(), readers, card.Root(), true, Jitter)),
                      "");
        }
    }
}

TEST(OverlappedScanTest, ManyRecordingsCardHoldsWhatItShould) {
    // The comparison above means something only when the card has ties,
    // left-out files and every kind of recording in it.
    TempCard card;
    ManyRecordingsCard(card);
    const ScanOutcome o = Scan(card.Root(), 8, card.Root(), true);
    EXPECT_GT(o.entries.size(), 300u);
    EXPECT_LT(o.entries.size(), static_cast<size_t>(o.scanCount));
    EXPECT_GT(o.groups.size(), 1u);
    const auto has = [&o](const char* text) {
        return std::any_of(o.entries.begin(), o.entries.end(), [text](const std::string& e) {
            return e.find(text) != std::string::npos;
        });
    };
    EXPECT_TRUE(has(".AVI flags 0"));
    EXPECT_TRUE(has("EVNG"));
    EXPECT_TRUE(has("flags 2"));
    EXPECT_TRUE(has("rear 1"));
}

TEST(OverlappedScanTest, MissingFolderFailsWithNothingVisited) {
    TempCard card;
    for (int readers : {0, 4}) {
        const ScanOutcome o = Scan(card.Root() + "/absent", readers, card.Root(), true);
        EXPECT_EQ(o.loaded, 0);
        EXPECT_EQ(o.scanCount, 0);
        EXPECT_TRUE(o.counts.empty());
    }
}

// Files that go away or change between the walk and their reading: the
// hook runs just before each accepted file is read, whichever thread reads
// it, so both scans meet the same changes.
TEST(OverlappedScanTest, FilesThatVanishOrChangeBeforeTheyAreReadAreLeftOutAlike) {
    const BeforeRead vandal = [](const QString& path) {
        const QByteArray native = QFile::encodeName(path);
        const int number = path.right(8).left(4).toInt();
        if (number % 4 == 0) {
            ::unlink(native.constData());
        } else if (number % 4 == 1) {
            EXPECT_EQ(::truncate(native.constData(), 100), 0);
        } else if (number % 4 == 2) {
            // Another file under the same name. (Rear files are left alone:
            // ten front names share one, so which of them saw it would
            // depend on the order of the reads.)
            ::unlink(native.constData());
            QFile other(path);
            if (other.open(QIODevice::WriteOnly))
                other.write("no longer a recording");
        }
    };
    std::vector<ScanOutcome> outcomes;
    for (int readers : {0, 1, 3, 8}) {
        SCOPED_TRACE(std::to_string(readers) + " readers");
        TempCard card; // a fresh card each time: the hook changes it
        ManyRecordingsCard(card);
        outcomes.push_back(Scan(card.Root(), readers, card.Root(), false, vandal));
    }
    EXPECT_GT(outcomes[0].entries.size(), 50u);
    EXPECT_LT(outcomes[0].entries.size(), kManyRecordings / 2u);
    for (size_t i = 1; i < outcomes.size(); ++i)
        EXPECT_EQ(Difference(outcomes[0], outcomes[i]), "") << "scan " << i;
}

// The calling thread delivers and shows the count while files are still
// being read: the reading of the last file waits until the counter has
// shown every file before it.
TEST(OverlappedScanTest, CounterMovesOnTheCallingThreadWhileReadersWork) {
    TempCard card;
    for (int k = 0; k < 40; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "DCIM/FILE%04d.MP4", k);
        card.AddRecording(name, "2015-06-01 10:00:00");
    }
    QString last;
    int files = 0;
    WalkFolder(card.Root(), [&](const QString&, const QString&, const QString& name, bool dir) {
        if (!dir) {
            last = name;
            ++files;
        }
    });
    ASSERT_EQ(files, 40);

    struct Shown : ThreadCheckingCounter {
        void ShowScanCount(int filesVisited) override {
            ThreadCheckingCounter::ShowScanCount(filesVisited);
            std::lock_guard<std::mutex> lock(mutex);
            highest = filesVisited;
            changed.notify_all();
        }
        std::mutex mutex;
        std::condition_variable changed;
        int highest = -1;
    } counter;
    std::atomic<bool> sawAllBefore{false};
    CRecordingManager manager;
    manager.SetProgressView(&counter);
    manager.SetScanOptions(ScanOptions{4, [&](const QString& path) {
                                           if (!path.endsWith(u'/' + last))
                                               return;
                                           std::unique_lock<std::mutex> lock(counter.mutex);
                                           sawAllBefore = counter.changed.wait_for(
                                               lock, std::chrono::seconds(20),
                                               [&] { return counter.highest == files - 2; });
                                       }});
    ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
    EXPECT_TRUE(sawAllBefore);
    EXPECT_EQ(manager.Entries().size(), 40u);
    EXPECT_EQ(counter.counts.size(), 40u);
    EXPECT_EQ(counter.callsOffTheCallingThread, 0);
}

// Each reader reads one file at a time: never more files at once than
// readers, and with slow files more than one at once.
TEST(OverlappedScanTest, ReadsAtMostAsManyFilesAtOnceAsThereAreReaders) {
    TempCard card;
    for (int k = 0; k < 24; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "FILE%04d.MP4", k);
        card.AddRecording(name, "2015-06-01 10:00:00");
    }
    for (int readers : {1, 3}) {
        std::atomic<int> reading{0};
        std::atomic<int> most{0};
        CRecordingManager manager;
        manager.SetScanOptions(
            ScanOptions{readers, [&](const QString&) {
                            const int now = ++reading;
                            int seen = most;
                            while (now > seen && !most.compare_exchange_weak(seen, now)) {
                            }
                            std::this_thread::sleep_for(std::chrono::milliseconds(5));
                            --reading;
                        }});
        ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
        EXPECT_EQ(manager.Entries().size(), 24u);
        EXPECT_LE(most, readers);
        if (readers > 1) {
            EXPECT_GE(most, 2);
        }
    }
}

} // namespace
} // namespace kolvex::testing
