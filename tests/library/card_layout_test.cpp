// Other cameras' card layouts: which names are listed, which play as rear
// files, where the event mark and the start time come from, and how an
// action camera's chapters make one recording. TZ is Europe/Berlin.
#include "card_fixture.h"
#include "loaded_library.h"
#include "telemetry_writer.h"

#include "library/card_layout.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace kolvex::testing {
namespace {

struct LayoutCase {
    const char* name;
    CardLayout layout;
    bool rear;
    bool event;
    int chapter;
    const char* series;
};

TEST(CardLayoutNameTest, RecognisesTheDatedAndChapteredForms) {
    using L = CardLayout;
    const LayoutCase cases[] = {
        {"2026_0514_081200_001F.MP4", L::DateStamped, false, false, 0, ""},
        {"2026_0514_081200_001R.MP4", L::DateStamped, true, false, 0, ""},
        {"2026_0514_081200_012345F.mov", L::DateStamped, false, false, 0, ""},
        {"2026_0514_081200_001.MP4", L::None, false, false, 0, ""},  // no camera letter
        {"2026_0514_081200_001f.MP4", L::None, false, false, 0, ""}, // the rear lookup writes 'R'
        {"2026_0230_081200_001F.MP4", L::None, false, false, 0, ""}, // 30 February
        {"2026_0514_251200_001F.MP4", L::None, false, false, 0, ""}, // hour 25
        {"2026_0514_081200_001F.AVI", L::None, false, false, 0, ""}, // MP4 and MOV only
        {"20260514_081200_NF.mp4", L::DateStamped, false, false, 0, ""},
        {"20260514_081200_NR.mp4", L::DateStamped, true, false, 0, ""},
        {"20260514_081200_EF.MP4", L::DateStamped, false, true, 0, ""},
        {"20260514_081200_MR.MP4", L::DateStamped, true, true, 0, ""},
        {"20260514_081200_PF.MP4", L::DateStamped, false, false, 0, ""},
        {"20260514_081200_NX.MP4", L::None, false, false, 0, ""}, // no camera letter
        {"20260514_0812_NF.MP4", L::None, false, false, 0, ""},
        {"GH010042.MP4", L::Chaptered, false, false, 1, "GH0042"},
        {"GH030042.mp4", L::Chaptered, false, false, 3, "GH0042"},
        {"GX020007.MP4", L::Chaptered, false, false, 2, "GX0007"},
        {"GOPR0042.MP4", L::Chaptered, false, false, 1, "GP0042"},
        {"GP010042.MP4", L::Chaptered, false, false, 2, "GP0042"},
        {"GH000042.MP4", L::None, false, false, 0, ""}, // chapters count from 01
        {"GL010042.LRV", L::None, false, false, 0, ""}, // the low-resolution copy
        {"GH010042.THM", L::None, false, false, 0, ""},
        {"GH01004.MP4", L::None, false, false, 0, ""},
        {"MOVA0010.MP4", L::None, false, false, 0, ""}, // the camera's own rule
    };
    for (const LayoutCase& c : cases) {
        const LayoutName parsed = ParseLayoutName(QString::fromUtf8(c.name));
        EXPECT_EQ(parsed.layout, c.layout) << c.name;
        EXPECT_EQ(parsed.rear, c.rear) << c.name;
        EXPECT_EQ(parsed.event, c.event) << c.name;
        EXPECT_EQ(parsed.chapter, c.chapter) << c.name;
        EXPECT_EQ(parsed.series, QString::fromUtf8(c.series)) << c.name;
    }
}

TEST(CardLayoutNameTest, EventFoldersAnywhereBelowOrTheOpenedOne) {
    struct FolderCase {
        const char* opened;
        const char* relative;
        bool event;
    } cases[] = {
        {"/media/card/", "DCIM/Movie/RO/", true},
        {"/media/card/", "EVENT/F/", true},
        {"/media/card/", "Event/", true},
        {"/media/card/", "protected/", true},
        {"/media/card/Protected/", "", true},
        {"/media/card/ro", "", true},
        {"/media/card/", "Normal/F/", false},
        {"/media/card/", "ROAD/", false},
        {"/media/card/", "", false},
        {"/media/EVENTS/", "", false},
    };
    for (const FolderCase& c : cases)
        EXPECT_EQ(IsInEventFolder(QString::fromUtf8(c.opened), QString::fromUtf8(c.relative)),
                  c.event)
            << c.opened << c.relative;
}

// A recording such a camera writes: a video file without the camera's own
// records, so the start time has to come from elsewhere.
fixtures::CameraRecording PlainRecording(uint32_t durationMs) {
    fixtures::CameraRecording recording;
    recording.durationMs = durationMs;
    recording.writeGps = false;
    recording.writeGsensor = false;
    recording.gpsInfo.reset();
    recording.gsensorInfo.reset();
    return recording;
}

void SetModified(const TempCard& card, const std::string& relative, int64_t seconds) {
    const struct utimbuf times { static_cast<time_t>(seconds), static_cast<time_t>(seconds) };
    ASSERT_EQ(::utime(card.Path(relative).c_str(), &times), 0) << relative;
}

const RecordingEntry* Find(const Library& lib, const char* name) {
    for (const RecordingEntry& e : lib.manager.Entries()) {
        if (e.name == QString::fromUtf8(name))
            return &e;
    }
    return nullptr;
}

constexpr int64_t k0812 = 1778739120; // 2026-05-14 08:12:00 in Berlin

// The mixed card of the tests below.
void WriteMixedCard(TempCard& card) {
    // Date-stamped names, front and rear beside each other; one in RO.
    card.AddRecording("DCIM/Movie/2026_0514_081200_001F.MP4", PlainRecording(60000));
    card.AddRecording("DCIM/Movie/2026_0514_081200_001R.MP4", PlainRecording(60000));
    card.AddRecording("DCIM/Movie/2026_0514_081300_002F.MP4", PlainRecording(60000));
    card.AddRecording("DCIM/Movie/RO/2026_0514_081400_003F.MP4", PlainRecording(60000));
    card.AddRecording("DCIM/Movie/RO/2026_0514_081400_003R.MP4", PlainRecording(60000));
    // Kind and camera letters, rear files in the sibling folder R.
    card.AddRecording("Normal/F/20260514_090000_NF.mp4", PlainRecording(60000));
    card.AddRecording("Normal/R/20260514_090000_NR.mp4", PlainRecording(60000));
    card.AddRecording("Normal/F/20260514_090100_EF.mp4", PlainRecording(60000));
    card.AddRecording("Event/F/20260514_090200_NF.mp4", PlainRecording(60000));
    // An action camera: three chapters of 0042, two of 0043 (old names).
    card.AddRecording("DCIM/100GOPRO/GH010042.MP4", PlainRecording(1062500));
    card.AddRecording("DCIM/100GOPRO/GH020042.MP4", PlainRecording(1062500));
    card.AddRecording("DCIM/100GOPRO/GH030042.MP4", PlainRecording(30000));
    card.AddRecording("DCIM/100GOPRO/GOPR0043.MP4", PlainRecording(40000));
    card.AddRecording("DCIM/100GOPRO/GP010043.MP4", PlainRecording(20000));
    // Names of a layout that are no recordings stay out.
    card.AddFile("DCIM/Movie/2026_0514_081500_004F.MP4", "not a video");
    card.AddFile("DCIM/100GOPRO/GH010044.MP4", "not a video");
    // The chapters' files were last written when each chapter ended; a
    // later chapter's own time is not trusted over the chain.
    SetModified(card, "DCIM/100GOPRO/GH010042.MP4", k0812 + 7200 + 1063);
    SetModified(card, "DCIM/100GOPRO/GH020042.MP4", k0812 + 99999);
    SetModified(card, "DCIM/100GOPRO/GOPR0043.MP4", k0812 + 10000 + 40);
}

TEST(CardLayoutScanTest, ListsFrontFilesWithTimesAndEventsFromNamesAndFolders) {
    for (int readers : {0, 4}) {
        TempCard card;
        WriteMixedCard(card);
        Library lib;
        ScanOptions options;
        options.readers = readers;
        lib.manager.SetScanOptions(options);
        lib.Load(card);
        const std::vector<std::string> expected = {
            "2026_0514_081200_001F.MP4",
            "2026_0514_081300_002F.MP4",
            "2026_0514_081400_003F.MP4",
            "20260514_090000_NF.mp4",
            "20260514_090100_EF.mp4",
            "20260514_090200_NF.mp4",
            "GH010042.MP4",
            "GH020042.MP4",
            "GH030042.MP4",
            "GOPR0043.MP4",
            "GP010043.MP4",
        };
        ASSERT_EQ(lib.Names(), expected) << "readers " << readers;

        struct Expect {
            const char* name;
            int64_t start;
            int flags;
            bool rear;
        } cases[] = {
            {"2026_0514_081200_001F.MP4", k0812, 0, true},
            {"2026_0514_081300_002F.MP4", k0812 + 60, 0, false},
            {"2026_0514_081400_003F.MP4", k0812 + 120, kRecordingEvent, true}, // RO
            {"20260514_090000_NF.mp4", k0812 + 2880, 0, true},                 // rear in R/
            {"20260514_090100_EF.mp4", k0812 + 2940, kRecordingEvent, false},  // kind E
            {"20260514_090200_NF.mp4", k0812 + 3000, kRecordingEvent, false},  // Event/
            {"GH010042.MP4", k0812 + 7200, 0, false},
            {"GH020042.MP4", k0812 + 7200 + 1062, 0, false},
            {"GH030042.MP4", k0812 + 7200 + 2125, 0, false},
            {"GOPR0043.MP4", k0812 + 10000, 0, false},
            {"GP010043.MP4", k0812 + 10040, 0, false},
        };
        for (const Expect& c : cases) {
            const RecordingEntry* e = Find(lib, c.name);
            ASSERT_NE(e, nullptr) << c.name;
            EXPECT_EQ(e->meta.startTime, c.start) << c.name;
            EXPECT_EQ(e->flags, c.flags) << c.name;
            EXPECT_EQ(e->rear.exists, c.rear) << c.name;
        }

        // 08:12 to 08:15 in one group, 09:00 to 09:03 in another, each
        // action recording's chapters in one group of their own.
        std::vector<int> counts;
        for (const RecordingGroup& g : lib.manager.Groups())
            counts.push_back(g.count);
        EXPECT_EQ(counts, (std::vector<int>{3, 3, 3, 2})) << "readers " << readers;
    }
}

TEST(CardLayoutScanTest, TheCamerasOwnFilesKeepTheirRuleWhateverTheirName) {
    TempCard card;
    // The camera's own rule accepts this name too; its reader recognises the
    // file, so it is listed with its own date, rear letter or not.
    card.AddRecording("DCIM/20260514_090000_NR.mp4", "2026-05-14 10:00:00", 60000);
    // The same name without the camera's records is a rear file.
    card.AddRecording("OTHER/20260514_090000_NR.mp4", PlainRecording(60000));
    // The camera's own name in an event folder: its rule has no folders.
    card.AddRecording("EVENT/MOVA0010.MP4", "2026-05-14 11:00:00", 60000);
    // Rear files with another camera's NMEA text beside stay out, a text
    // date of the camera's kind or not.
    const std::string nmea =
        fixtures::NmeaSentence(fixtures::RmcBody(8, 0, 0, true, 48.1, 11.5, 10, 45, 14, 5, 26));
    card.AddRecording("NMEA/20260514_090000_NR.mp4", PlainRecording(60000));
    card.AddFile("NMEA/20260514_090000_NR.NMEA", nmea);
    fixtures::CameraRecording dated = PlainRecording(60000);
    dated.textDate = "2026-05-14 10:00:00";
    card.AddRecording("DATED/20260514_090000_NR.mp4", dated);
    card.AddFile("DATED/20260514_090000_NR.nmea", nmea);
    Library lib;
    lib.Load(card);
    ASSERT_EQ(lib.Names(), (std::vector<std::string>{"20260514_090000_NR.mp4", "MOVA0010.MP4"}));
    EXPECT_EQ(lib.manager.Entries()[0].subdir, "DCIM/");
    EXPECT_EQ(lib.manager.Entries()[0].meta.startTime, k0812 + 6480);
    EXPECT_EQ(lib.manager.Entries()[1].flags, 0);
}

// A chapter whose telemetry dates it (GPS time, rates) is still another
// camera's file: the layout's rules, and so the chapters' chain, apply.
TEST(CardLayoutScanTest, OtherCamerasTelemetryIsNotTheCamerasOwnRecords) {
    VideoMetaInfo camera{};
    camera.startTime = k0812;
    EXPECT_TRUE(CarriesCameraRecords(camera));
    for (const TelemetryFormat format : {TelemetryFormat::Gpmf, TelemetryFormat::Camm,
                                         TelemetryFormat::FreeGps, TelemetryFormat::Nmea}) {
        VideoMetaInfo other = camera;
        other.telemetry = format;
        other.gpsInfo = {10, 0, 0, 0};
        other.gsensorInfo = {100, 32, 0, 0};
        EXPECT_FALSE(CarriesCameraRecords(other)) << TelemetryFormatName(format);
    }
}

TEST(CardLayoutScanTest, ASingleFileTakesItsTimeFromItsName) {
    TempCard card;
    card.AddRecording("RO/20260514_090000_NR.mp4", PlainRecording(60000));
    Library lib;
    ASSERT_EQ(lib.manager.Load(card.Root() + "/RO", "20260514_090000_NR.mp4"), 1);
    ASSERT_EQ(lib.manager.Entries().size(), 1u); // opened on purpose: listed
    EXPECT_EQ(lib.manager.Entries()[0].meta.startTime, k0812 + 2880);
    EXPECT_EQ(lib.manager.Entries()[0].flags, kRecordingEvent);
}

} // namespace
} // namespace kolvex::testing
