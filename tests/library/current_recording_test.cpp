// The current recording: selection in the lists, reading its blocks, the
// sample for a playback time and the path on the map.
#include "card_fixture.h"
#include "recording_fakes.h"

#include "library/recording_manager.h"

#include <gtest/gtest.h>

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex::testing {
namespace {

using fixtures::GpsRecord;
using fixtures::GSensorRecord;

GpsRecord Fix(double latitude, double longitude, uint16_t speed = 0, uint8_t heading = 0) {
    GpsRecord r;
    r.latitude = latitude;
    r.longitude = longitude;
    r.speed = speed;
    r.heading = heading;
    r.flags = 1;
    return r;
}

struct Player {
    CallLog log;
    FakeGroupList groups{log};
    FakeFileList files{log};
    FakeGSensorGraph graph{log};
    FakeMap map{log};
    FakeMainWindow window{log};
    CRecordingManager manager;
    Player() { manager.Init(&groups, &files, &graph, &map, &window); }
    void LoadFolder(const TempCard& card) {
        ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
        log.clear();
    }
};

// A recording of `count` seconds whose GPS samples all carry a fix.
fixtures::CameraRecording Driving(size_t count, uint8_t rate = 1,
                                  const std::string& start = "2015-06-01 10:00:00") {
    auto r = RecordingAt(start, static_cast<uint32_t>(count * 1000 / rate));
    r.writeGps = true;
    r.gpsInfo = fixtures::InfoRecord(rate);
    for (size_t i = 0; i < count; ++i)
        r.gps.push_back(Fix(4807.038 + i * 0.01, 1131.000, static_cast<uint16_t>(i), 45));
    return r;
}

TEST(SelectionTest, HighlightsTheCurrentFileAndGroupInBothLists) {
    TempCard card;
    card.AddRecording("FILE0001.AVI", "2015-06-01 10:00:00", 60000);
    card.AddRecording("FILE0002.AVI", "2015-06-01 10:01:00", 60000);
    card.AddRecording("FILE0003.AVI", "2015-06-01 11:00:00", 60000);
    Player p;
    p.LoadFolder(card);

    EXPECT_EQ(p.manager.SelectFile(2), 1);
    EXPECT_EQ(p.manager.CurrentGroup(), 1);
    EXPECT_EQ(p.log, (CallLog{"group.SetDropHighlight(-1,0)", "file.SetDropHighlight(-1,0)",
                              "group.SetDropHighlight(1,1)", "group.EnsureVisible(1)",
                              "file.SetDropHighlight(2,1)", "file.EnsureVisible(2)"}));
    p.log.clear();
    EXPECT_EQ(p.manager.SelectGroup(0), 1);
    EXPECT_EQ(p.manager.CurrentFile(), 0);
    // A group chosen in its list is not scrolled to.
    EXPECT_EQ(p.log, (CallLog{"group.SetDropHighlight(-1,0)", "file.SetDropHighlight(-1,0)",
                              "group.SetDropHighlight(0,1)", "file.SetDropHighlight(0,1)"}));

    p.log.clear();
    for (int bad : {-1, 3})
        EXPECT_EQ(p.manager.SelectFile(bad), 0);
    for (int bad : {-1, 2})
        EXPECT_EQ(p.manager.SelectGroup(bad), 0);
    EXPECT_TRUE(p.log.empty());
    EXPECT_EQ(p.manager.CurrentFile(), 0);
}

TEST(SelectionTest, PictureSizeOfTheCurrentRecording) {
    TempCard card;
    Player p;
    int w = -1;
    EXPECT_EQ(p.manager.GetCurrentPictureSize(&w, nullptr), 0);
    auto r = RecordingAt("2015-06-01 10:00:00");
    r.width = 1280;
    r.height = 720;
    card.AddRecording("FILE0001.MOV", r);
    p.LoadFolder(card);
    EXPECT_EQ(p.manager.GetCurrentPictureSize(&w, nullptr), 0); // nothing current yet
    p.manager.SelectFile(0);
    int h = 0;
    EXPECT_EQ(p.manager.GetCurrentPictureSize(&w, &h), 1);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
}

TEST(RecordingDataTest, FeedsTheGraphAndDrawsThePathOfPlottableSamples) {
    TempCard card;
    auto r = Driving(3);
    r.gps[1].flags = 0;          // no fix: not drawn
    r.gps[2].latitude = 20000.0; // fix but no real position: not drawn
    r.gps.push_back(Fix(-3352.5, -15112.0));
    r.writeGsensor = true;
    r.gsensor = {{1, 2, 3}, {-4, -5, -6}};
    r.gsensorInfo = fixtures::InfoRecord(10, 4);
    card.AddRecording("FILE0001.MOV", r);
    Player p;
    p.LoadFolder(card);
    ASSERT_EQ(p.manager.LoadRecordingData(0), 1);
    EXPECT_EQ(p.log,
              (CallLog{"map.pathdrived_delete()", "map.path_delete()", "map.marker_delete()",
                       "graph.ClearSamples", "graph.SetScale(4,2)", "graph.ClearSamples",
                       "graph.AppendSamples(2)", "graph.UpdateTimeScale", "graph.SamplesPerMs=0.01",
                       "graph.UpdateTimeScale", "graph.PixelsPerMs=0.01", "graph.UpdateTimeScale",
                       "graph.TimeScaleMode=2", "map.path_plot(48.117300,11.516667)",
                       "map.path_plot(-33.875000,-151.200000)"}));
    EXPECT_EQ(p.graph.samples, (std::vector<int8_t>{1, 2, 3, -4, -5, -6}));
    EXPECT_EQ(p.manager.GpsDataSize(), 4u * 32u);
    EXPECT_EQ(p.manager.GSensorDataSize(), 6u);
    EXPECT_EQ(p.manager.CurrentFile(), 0);
}

// Switched on, each recording's route comes with its speeds after the path;
// switched off again, the page is told once to drop it.
TEST(RecordingDataTest, TheSpeedRouteFollowsThePathWhileSwitchedOn) {
    TempCard card;
    auto r = Driving(3);
    r.gps[1].flags = 0; // no fix: not drawn
    card.AddRecording("FILE0001.MOV", r);
    Player p;
    p.LoadFolder(card);
    auto routeCalls = [&] {
        CallLog calls;
        for (const std::string& call : p.log)
            if (call.find("speedroute") != std::string::npos)
                calls.push_back(call);
        return calls;
    };
    p.manager.SetSpeedRoute(true);
    ASSERT_EQ(p.manager.LoadRecordingData(0), 1);
    EXPECT_EQ(routeCalls(),
              (CallLog{"map.speedroute_delete()", "map.speedroute_plot(48.117300,11.516667,0)",
                       "map.speedroute_plot(48.117633,11.516667,2)"}));
    p.log.clear();
    p.manager.SetSpeedRoute(false);
    p.manager.PlotSpeedRoute();
    p.manager.PlotSpeedRoute();
    EXPECT_EQ(routeCalls(), (CallLog{"map.speedroute_delete()"}));
}

TEST(RecordingDataTest, GraphRateFallsBackToSamplesOverDuration) {
    TempCard card;
    auto r = RecordingAt("2015-06-01 10:00:00", 2000);
    r.writeGsensor = true;
    r.gsensor = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    r.gsensorInfo = fixtures::InfoRecord(0, 0);
    card.AddRecording("FILE0001.MOV", r);
    Player p;
    p.LoadFolder(card);
    ASSERT_EQ(p.manager.LoadRecordingData(0), 1);
    const CallLog rates = CallsStartingWith(p.log, "graph.SamplesPerMs");
    EXPECT_EQ(rates, CallLog{"graph.SamplesPerMs=0.002"});
}

TEST(RecordingDataTest, BlocksOutsideTheFileAreNeitherAllocatedNorRead) {
    TempCard card;
    card.AddRecording("FILE0001.MOV", Driving(10));
    Player p;
    p.LoadFolder(card);
    // The file shrinks after the scan: both blocks now end past its end.
    ASSERT_EQ(::truncate(card.Path("FILE0001.MOV").c_str(), 64), 0);
    ASSERT_EQ(p.manager.LoadRecordingData(0), 1);
    EXPECT_EQ(p.manager.GpsDataSize(), 0u);
    EXPECT_EQ(p.manager.GSensorDataSize(), 0u);
    EXPECT_EQ(CallsStartingWith(p.log, "map.path_plot"), CallLog{});
    EXPECT_EQ(CallsStartingWith(p.log, "graph.AppendSamples"), CallLog{});
    // The instruments show no fix rather than reading a missing block.
    p.log.clear();
    EXPECT_EQ(p.manager.UpdatePosition(1000, true, true), 0);
    EXPECT_EQ(p.log, (CallLog{"compass.SetImage(0)", "speed.SetSpeed(0,0)"}));
}

TEST(RecordingDataTest, VanishedFileGivesNoDataInsteadOfACrash) {
    TempCard card;
    card.AddRecording("FILE0001.MOV", Driving(10));
    card.AddRecording("FILE0002.MOV", Driving(5, 1, "2015-06-01 11:00:00"));
    Player p;
    p.LoadFolder(card);
    ASSERT_EQ(p.manager.LoadRecordingData(0), 1);
    ASSERT_NE(p.manager.GpsDataSize(), 0u);
    ASSERT_TRUE(QFile::remove(p.manager.GetPath(1)));
    p.log.clear();
    EXPECT_EQ(p.manager.LoadRecordingData(1), 0);
    EXPECT_EQ(p.manager.GpsDataSize(), 0u);
    EXPECT_EQ(p.manager.CurrentFile(), 1);
    // The graph lets go of the last recording's samples all the same.
    EXPECT_EQ(p.log, (CallLog{"map.pathdrived_delete()", "map.path_delete()", "map.marker_delete()",
                              "graph.ClearSamples"}));
    EXPECT_EQ(p.manager.UpdatePosition(0, true, true), 0);
    // Replaced by a pipe: refused at once rather than waiting for a writer.
    ASSERT_EQ(::mkfifo(p.manager.GetPath(1).toUtf8().constData(), 0644), 0);
    ::alarm(20);
    EXPECT_EQ(p.manager.LoadRecordingData(1), 0);
    ::alarm(0);
    EXPECT_EQ(p.manager.LoadRecordingData(2), 0);
    EXPECT_EQ(p.manager.LoadRecordingData(-1), 0);
}

struct PositionCase {
    uint8_t rate;
    int64_t timeMs;
    int sample; // the sample whose speed is shown; -1 for no fix
};

TEST(PositionTest, MapsPlaybackTimeToTheSampleOfThatTime) {
    const PositionCase cases[] = {
        {1, 2999, 2},   {10, 2999, 29}, {1, 0, 0},
        {1, 59999, 59}, {1, 60000, -1}, // beyond the last sample
        {1, -1, -1},    {10, 5999, 59},
    };
    for (const PositionCase& c : cases) {
        TempCard card;
        card.AddRecording("FILE0001.MOV", Driving(60, c.rate));
        Player p;
        p.LoadFolder(card);
        ASSERT_EQ(p.manager.LoadRecordingData(0), 1);
        p.log.clear();
        const int result = p.manager.UpdatePosition(c.timeMs, false, true);
        if (c.sample < 0) {
            EXPECT_EQ(result, 0) << c.timeMs;
            EXPECT_EQ(p.log, (CallLog{"compass.SetImage(0)", "speed.SetSpeed(0,0)"}));
            continue;
        }
        EXPECT_EQ(result, 1) << c.timeMs;
        char marker[64];
        std::snprintf(marker, sizeof marker, "map.MoveMarker(%.5f,11.31000)",
                      (4807.038 + c.sample * 0.01) / 100);
        EXPECT_EQ(p.log, (CallLog{"compass.SetHeading(90)",
                                  "speed.SetSpeed(1," + std::to_string(c.sample) + ")", marker}))
            << int(c.rate) << " " << c.timeMs;
    }
}

TEST(PositionTest, RedrawsOnlyWhenTheSampleChangesExceptAtTheStart) {
    TempCard card;
    auto r = Driving(5);
    r.gps[3].flags = 0;           // no fix although the position is plausible
    r.gps[4].longitude = 20000.0; // fix without a real position
    card.AddRecording("FILE0001.MOV", r);
    Player p;
    p.LoadFolder(card);
    ASSERT_EQ(p.manager.LoadRecordingData(0), 1);
    struct Step {
        int64_t timeMs;
        int result;
        size_t calls;
    } steps[] = {
        {0, 1, 3},    {500, 1, 3},  // sample 0 is drawn on every report
        {1000, 1, 3}, {1999, 1, 0}, // same sample 1: nothing redrawn
        {3000, 0, 2},               // no fix: grey compass, no speed
        {4000, 0, 2},               // compass and speed, marker stays
    };
    for (const Step& s : steps) {
        p.log.clear();
        EXPECT_EQ(p.manager.UpdatePosition(s.timeMs, false, true), s.result) << s.timeMs;
        EXPECT_EQ(p.log.size(), s.calls) << s.timeMs;
    }
    EXPECT_EQ(p.log, (CallLog{"compass.SetHeading(90)", "speed.SetSpeed(1,4)"}));

    // The graph cursor follows when asked; the map stays when not.
    p.log.clear();
    p.manager.UpdatePosition(2000, true, false);
    EXPECT_EQ(p.log, (CallLog{"compass.SetHeading(90)", "speed.SetSpeed(1,2)"}));
}

TEST(PositionTest, AnotherRecordingRedrawsEvenAtTheSameSampleIndex) {
    TempCard card;
    card.AddRecording("FILE0001.MOV", Driving(10));
    auto other = Driving(10, 1, "2015-06-01 11:00:00");
    other.gps[5].speed = 99;
    card.AddRecording("FILE0002.MOV", other);
    Player p;
    p.LoadFolder(card);
    p.manager.LoadRecordingData(0);
    p.manager.UpdatePosition(5000, false, false);
    p.manager.LoadRecordingData(1);
    p.log.clear();
    EXPECT_EQ(p.manager.UpdatePosition(5000, false, false), 1);
    EXPECT_EQ(p.log, (CallLog{"compass.SetHeading(90)", "speed.SetSpeed(1,99)"}));
}

// After a stop the recording stays loaded without a position: no speed, no
// car, no driven path; the next report draws them again, at any sample.
TEST(PositionTest, AClearedPositionComesBackWithTheNextReport) {
    TempCard card;
    card.AddRecording("FILE0001.MOV", Driving(10));
    Player p;
    p.LoadFolder(card);
    p.manager.LoadRecordingData(0);
    p.manager.UpdatePosition(5000, false, true);
    p.log.clear();
    p.manager.ClearPosition();
    EXPECT_EQ(p.log, (CallLog{"map.pathdrived_delete()", "map.marker_delete()",
                              "compass.SetImage(0)", "speed.SetSpeed(0,0)"}));
    EXPECT_EQ(p.manager.GpsDataSize(), 10u * 32u);
    p.log.clear();
    EXPECT_EQ(p.manager.UpdatePosition(5000, false, true), 1);
    EXPECT_EQ(p.log, (CallLog{"compass.SetHeading(90)", "speed.SetSpeed(1,5)",
                              "map.MoveMarker(48.07088,11.31000)"}));
}

// A recording without GPS takes the car of the last one off the map.
TEST(RecordingDataTest, ARecordingWithoutGpsShowsNoCar) {
    TempCard card;
    card.AddRecording("FILE0001.MOV", Driving(10));
    card.AddRecording("FILE0002.MOV", RecordingAt("2015-06-01 11:00:00", 10000));
    Player p;
    p.LoadFolder(card);
    p.manager.LoadRecordingData(0);
    p.manager.UpdatePosition(3000, false, true);
    p.log.clear();
    ASSERT_EQ(p.manager.LoadRecordingData(1), 1);
    EXPECT_EQ(CallsStartingWith(p.log, "map."),
              (CallLog{"map.pathdrived_delete()", "map.path_delete()", "map.marker_delete()"}));
    p.log.clear();
    EXPECT_EQ(p.manager.UpdatePosition(3000, false, true), 0);
    EXPECT_EQ(CallsStartingWith(p.log, "map."), CallLog{});
}

// The list changed under the loaded recording: it is found again by its
// path, or, when it went, nothing of it stays shown.
TEST(RecordingDataTest, TheLoadedRecordingIsFoundAgainOrForgotten) {
    TempCard card;
    card.AddRecording("FILE0001.MOV", Driving(10));
    card.AddRecording("FILE0002.MOV", Driving(10, 1, "2015-06-01 11:00:00"));
    Player p;
    p.LoadFolder(card);
    EXPECT_EQ(p.manager.LoadedRecordingRow(), -1);
    p.manager.SelectFile(1);
    p.manager.LoadRecordingData(1);
    EXPECT_EQ(p.manager.LoadedRecordingRow(), 1);
    // Listed again with another recording before it: the same file, a new row.
    card.AddRecording("FILE0000.MOV", Driving(10, 1, "2015-06-01 09:00:00"));
    ASSERT_EQ(p.manager.Load(card.Root(), QString()), 1);
    EXPECT_EQ(p.manager.LoadedRecordingRow(), 2);

    p.log.clear();
    p.manager.UnloadRecordingData();
    EXPECT_EQ(p.log,
              (CallLog{"map.path_delete()", "map.eventmarks_delete()", "map.pathdrived_delete()",
                       "map.marker_delete()", "compass.SetImage(0)", "speed.SetSpeed(0,0)",
                       "graph.ClearSamples", "graph.Invalidate(1)", "group.SetDropHighlight(-1,0)",
                       "file.SetDropHighlight(-1,0)"}));
    EXPECT_EQ(p.manager.CurrentFile(), -1);
    EXPECT_EQ(p.manager.LoadedRecordingRow(), -1);
    EXPECT_EQ(p.manager.GpsDataSize(), 0u);
    EXPECT_EQ(p.manager.GSensorDataSize(), 0u);
    p.log.clear();
    EXPECT_EQ(p.manager.UpdatePosition(3000, true, true), 0);
    EXPECT_EQ(p.log, (CallLog{"compass.SetImage(0)", "speed.SetSpeed(0,0)"}));
}

TEST(PositionTest, GraphCursorMovesWithTheTimeWhenItHasSamples) {
    TempCard card;
    auto r = Driving(3);
    r.writeGsensor = true;
    r.gsensor = {{1, 1, 1}};
    card.AddRecording("FILE0001.MOV", r);
    Player p;
    p.LoadFolder(card);
    p.manager.LoadRecordingData(0);
    p.log.clear();
    p.manager.UpdatePosition(1500, true, false);
    EXPECT_EQ(CallsStartingWith(p.log, "graph."),
              (CallLog{"graph.Stopped=0", "graph.Invalidate(1)", "graph.SetCurrentTime(1500)"}));
}

TEST(DrivenPathTest, DrawsThePlottableSamplesBeforeTheSeekTarget) {
    TempCard card;
    auto r = Driving(70);
    r.gps[10].flags = 0;
    card.AddRecording("FILE0001.MOV", r);
    Player p;
    p.LoadFolder(card);
    p.manager.LoadRecordingData(0);
    p.log.clear();
    EXPECT_EQ(p.manager.PlotDrivenPath(60000), 1);
    ASSERT_EQ(p.log.size(), 1u + 59u); // samples 0..59 without sample 10
    EXPECT_EQ(p.log.front(), "map.pathdrived_delete()");
    EXPECT_EQ(p.log[1], "map.pathdrived_plot(48.117300,11.516667)");
    EXPECT_EQ(p.log.back(), "map.pathdrived_plot(48.127133,11.516667)");

    p.log.clear();
    p.manager.PlotDrivenPath(4000000000u); // beyond the end: the whole path
    EXPECT_EQ(p.log.size(), 1u + 69u);
}

} // namespace
} // namespace kolvex::testing
