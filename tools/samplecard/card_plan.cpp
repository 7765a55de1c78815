#include "card_plan.h"

#include <map>
#include <set>
#include <stdexcept>

namespace kolvex::samplecard {

namespace {

// Morning commute: pulls away, turns right, brakes hard for a pedestrian,
// waits, pulls away again, turns left and speeds up on a main road.
PlannedDrive CommuteDrive() {
    PlannedDrive drive;
    drive.description = "commute with a hard stop";
    drive.states = SimulateDrive({52.50810, 13.39020, 80.0, 36.0}, {
                                                                       {3.0, 0.0, 0.0},
                                                                       {7.0, 1.8, 0.0},
                                                                       {5.0, 0.0, 0.0},
                                                                       {2.0, -2.3, 0.0},
                                                                       {5.0, 0.0, 18.0},
                                                                       {3.0, 1.9, 0.0},
                                                                       {2.5, 0.0, 0.0},
                                                                       {1.6, -8.6, 0.0},
                                                                       {5.9, 0.0, 0.0},
                                                                       {7.0, 1.7, 0.0},
                                                                       {4.0, 0.0, -15.0},
                                                                       {6.0, 0.8, 0.0},
                                                                       {5.0, 0.0, 0.0},
                                                                       {4.0, -1.5, 0.0},
                                                                       {1.0, 0.0, 0.0},
                                                                   });
    // The car rocks on its springs as it comes to a stop after the hard braking.
    drive.jolts = {{29.1, 0.2, 0.25, 0.0, -0.2}, {29.3, 0.2, -0.1, 0.0, 0.1}};
    return drive;
}

// Out of town: the receiver needs a few seconds for its first fix, the car
// speeds up to 76 km/h and goes through a tunnel where the fix is lost.
PlannedDrive TunnelDrive() {
    PlannedDrive drive;
    drive.description = "through a tunnel";
    drive.states = SimulateDrive({52.48700, 13.43100, 200.0, 41.0}, {
                                                                        {2.0, 0.0, 0.0},
                                                                        {7.0, 2.0, 0.0},
                                                                        {5.0, 0.0, 3.0},
                                                                        {6.0, 1.2, 0.0},
                                                                        {14.0, 0.0, -2.0},
                                                                        {4.0, -1.8, 0.0},
                                                                        {3.0, 0.0, 12.0},
                                                                    });
    drive.outages = {{0.0, 2.5}, {26.0, 33.0}};
    return drive;
}

// Evening: round a roundabout, along an avenue, to a stop at a red light.
PlannedDrive EveningDrive() {
    PlannedDrive drive;
    drive.description = "roundabout to a red light";
    drive.states = SimulateDrive({52.53100, 13.35600, 300.0, 38.0}, {
                                                                        {6.0, 1.5, 0.0},
                                                                        {6.0, 0.0, 0.0},
                                                                        {4.0, 0.0, 20.0},
                                                                        {4.0, 0.0, -20.0},
                                                                        {6.0, 1.0, 0.0},
                                                                        {8.0, 0.0, 0.0},
                                                                        {6.0, -2.5, 0.0},
                                                                    });
    return drive;
}

// Parked with the camera watching: nothing moves until a door is slammed.
PlannedDrive ParkedCar() {
    PlannedDrive drive;
    drive.description = "parked, a door slammed";
    drive.states = SimulateDrive({52.52000, 13.40500, 0.0, 34.0}, {{20.0, 0.0, 0.0}});
    drive.jolts = {{12.0, 0.1, -0.15, 0.3, 0.45}, {12.1, 0.2, 0.05, -0.1, -0.2}};
    return drive;
}

constexpr WallClock Day(int hour, int minute, int second) {
    return {2026, 5, 14, hour, minute, second};
}

PlannedRecording Recording(std::string folder, std::string name, Container container, int width,
                           int height, size_t drive, RecordingWindow window) {
    PlannedRecording r;
    r.folder = std::move(folder);
    r.name = std::move(name);
    r.container = container;
    r.width = width;
    r.height = height;
    r.drive = drive;
    r.window = window;
    return r;
}

} // namespace

CardPlan SampleCardPlan() {
    CardPlan plan;
    plan.drives = {CommuteDrive(), TunnelDrive(), EveningDrive(), ParkedCar()};
    enum : size_t { kCommute, kTunnel, kEvening, kParked };
    auto& r = plan.recordings;

    // Group 1: MP4, 1920x1080, GPS once a second, rear files in DCIM/CAMR
    // for the first two. The second file is the event the hard braking
    // triggered; the camera locked it. The third has no text date: its start
    // comes from the GPS.
    const RearPartner sibling{RearPlace::SiblingFolder, 1280, 720};
    r.push_back(Recording("DCIM/CAMF", "MOVA0010.MP4", Container::Mp4, 1920, 1080, kCommute,
                          {0, 20, Day(8, 12, 0)}));
    r.back().gpsRate = 1;
    r.back().textDate = true;
    r.back().rear = sibling;
    r.push_back(Recording("DCIM/CAMF", "MOVG0020.MP4", Container::Mp4, 1920, 1080, kCommute,
                          {20, 20, Day(8, 12, 20)}));
    r.back().gpsRate = 1;
    r.back().textDate = true;
    r.back().readOnly = true;
    r.back().rear = sibling;
    r.push_back(Recording("DCIM/CAMF", "MOVA0030.MP4", Container::Mp4, 1920, 1080, kCommute,
                          {41, 20, Day(8, 12, 41)}));
    r.back().gpsRate = 1;

    // Group 2: MOV, 1280x720, GPS ten times a second, records inside "moov",
    // a rear file beside the first front file, start times from the GPS
    // only. The
    // first begins before the receiver has a fix; the second loses it in
    // the tunnel.
    const RearPartner beside{RearPlace::Beside, 1280, 720};
    r.push_back(Recording("DCIM/MOVIE", "MOVA0040.MOV", Container::Mov, 1280, 720, kTunnel,
                          {0, 20, Day(8, 47, 10)}));
    r.back().gpsRate = 10;
    r.back().recordsInsideMovie = true;
    r.back().rear = beside;
    r.push_back(Recording("DCIM/MOVIE", "MOVA0050.MOV", Container::Mov, 1280, 720, kTunnel,
                          {20, 20, Day(8, 47, 30)}));
    r.back().gpsRate = 10;
    r.back().recordsInsideMovie = true;

    // Group 3: AVI, 1280x720, GPS once a second; the second file locked by hand.
    r.push_back(Recording("DCIM/AVI", "MOVA0060.AVI", Container::Avi, 1280, 720, kEvening,
                          {0, 20, Day(17, 45, 0)}));
    r.back().gpsRate = 1;
    r.back().textDate = true;
    r.push_back(Recording("DCIM/AVI", "MOVA0070.AVI", Container::Avi, 1280, 720, kEvening,
                          {20, 20, Day(17, 45, 20)}));
    r.back().gpsRate = 1;
    r.back().textDate = true;
    r.back().readOnly = true;

    // Group 4: parked, no GPS at all; the G-sensor still records.
    r.push_back(Recording("DCIM/CAMF", "MOVA0080.MP4", Container::Mp4, 1920, 1080, kParked,
                          {0, 20, Day(12, 30, 0)}));
    r.back().textDate = true;

    CheckRearPartners(plan);
    return plan;
}

namespace {

PlannedRecording OtherCamera(std::string folder, std::string name, size_t drive,
                             RecordingWindow window) {
    PlannedRecording r =
        Recording(std::move(folder), std::move(name), Container::Mp4, 1280, 720, drive, window);
    r.cameraRecords = false;
    return r;
}

} // namespace

CardPlan ActionCardPlan() {
    CardPlan plan;
    plan.drives = {CommuteDrive(), TunnelDrive()};
    auto& r = plan.recordings;
    // Recording 0042 in three chapters (the camera cuts long recordings),
    // from a newer camera that writes GPS9 beside GPS5: the commute with its
    // right turn across the second and third chapter. Then 0043 in the older
    // names, GOPR0043 and its second chapter GP010043, with GPS5 only: into
    // the tunnel at the end of the first chapter and out of it in the second.
    for (int chapter = 1; chapter <= 3; ++chapter) {
        const double from = (chapter - 1) * 10.0;
        r.push_back(OtherCamera("DCIM/100GOPRO", "GH0" + std::to_string(chapter) + "0042.MP4", 0,
                                {from, 10, Day(8, 12, 0).Plus(static_cast<int64_t>(from))}));
        r.back().stampModified = true;
        r.back().telemetry = OtherTelemetry::GpmfGps9;
    }
    r.push_back(OtherCamera("DCIM/100GOPRO", "GOPR0043.MP4", 1, {20, 10, Day(8, 47, 10)}));
    r.back().stampModified = true;
    r.back().telemetry = OtherTelemetry::Gpmf;
    r.push_back(OtherCamera("DCIM/100GOPRO", "GP010043.MP4", 1, {30, 10, Day(8, 47, 20)}));
    r.back().stampModified = true;
    r.back().telemetry = OtherTelemetry::Gpmf;
    CheckRearPartners(plan);
    return plan;
}

CardPlan DualDatedCardPlan() {
    CardPlan plan;
    plan.drives = {CommuteDrive(), TunnelDrive(), EveningDrive()};
    auto& r = plan.recordings;
    const RearPartner beside{RearPlace::Beside, 1280, 720};
    const RearPartner sibling{RearPlace::SiblingFolder, 1280, 720};
    // Dated names with a running number, rear files beside; the second was
    // kept after the hard braking, in the read-only folder. The front files
    // carry freeGPS boxes, except the first, whose GPS is in its NMEA text;
    // the rear camera has no receiver.
    r.push_back(OtherCamera("DCIM/Movie", "2026_0514_081200_001F.MP4", 0, {0, 10, Day(8, 12, 0)}));
    r.back().rear = beside;
    r.back().nmeaSideFile = true;
    r.push_back(
        OtherCamera("DCIM/Movie", "2026_0514_081210_002F.MP4", 0, {10, 10, Day(8, 12, 10)}));
    r.back().rear = beside;
    r.back().telemetry = OtherTelemetry::FreeGps;
    r.push_back(
        OtherCamera("DCIM/Movie/RO", "2026_0514_081220_003F.MP4", 0, {20, 10, Day(8, 12, 20)}));
    r.back().rear = beside;
    r.back().eventFolder = true;
    r.back().telemetry = OtherTelemetry::FreeGps;
    // Kind and camera letters, rear files in the sibling folder R; an event
    // recording (kind E) in the event folder. The first begins before the
    // receiver has its fix.
    r.push_back(OtherCamera("Normal/F", "20260514_084710_NF.mp4", 1, {0, 10, Day(8, 47, 10)}));
    r.back().rear = sibling;
    r.back().telemetry = OtherTelemetry::FreeGps;
    r.push_back(OtherCamera("Normal/F", "20260514_084720_NF.mp4", 1, {10, 10, Day(8, 47, 20)}));
    r.back().rear = sibling;
    r.back().telemetry = OtherTelemetry::FreeGps;
    r.push_back(OtherCamera("Event/F", "20260514_174500_EF.mp4", 2, {0, 10, Day(17, 45, 0)}));
    r.back().rear = sibling;
    r.back().eventFolder = true;
    r.back().telemetry = OtherTelemetry::FreeGps;
    CheckRearPartners(plan);
    return plan;
}

CardPlan PlanFor(SampleLayout layout) {
    switch (layout) {
    case SampleLayout::Action:
        return ActionCardPlan();
    case SampleLayout::DualDated:
        return DualDatedCardPlan();
    case SampleLayout::Camera:
        break;
    }
    return SampleCardPlan();
}

std::string RearName(const std::string& frontName) {
    const auto dot = frontName.rfind('.');
    if (dot == std::string::npos || dot == 0)
        throw std::invalid_argument("a recording name needs an extension: " + frontName);
    std::string rear = frontName;
    rear[dot - 1] = 'R';
    return rear;
}

std::string RearFolder(const std::string& frontFolder) {
    if (frontFolder.empty())
        throw std::invalid_argument("a rear folder needs a front folder");
    std::string rear = frontFolder;
    rear.back() = 'R';
    return rear;
}

std::string FrontPath(const PlannedRecording& recording) {
    return recording.folder + "/" + recording.name;
}

std::string RearPath(const PlannedRecording& recording) {
    if (!recording.rear)
        return {};
    const std::string folder = recording.rear->place == RearPlace::Beside
                                   ? recording.folder
                                   : RearFolder(recording.folder);
    return folder + "/" + RearName(recording.name);
}

void CheckRearPartners(const CardPlan& plan) {
    std::map<std::string, std::string> rearOwner; // rear path -> front path
    for (const auto& r : plan.recordings) {
        if (!r.rear)
            continue;
        const auto [it, added] = rearOwner.emplace(RearPath(r), FrontPath(r));
        if (!added)
            throw std::logic_error(FrontPath(r) + " and " + it->second + " share the rear file " +
                                   it->first);
    }
    for (const auto& r : plan.recordings) {
        // The player tries the file beside first, then the sibling folder.
        const std::string besidePath = r.folder + "/" + RearName(r.name);
        const std::string siblingPath = RearFolder(r.folder) + "/" + RearName(r.name);
        std::string found;
        if (rearOwner.count(besidePath))
            found = besidePath;
        else if (rearOwner.count(siblingPath))
            found = siblingPath;
        if (found != RearPath(r))
            throw std::logic_error(FrontPath(r) + " would play the rear file " +
                                   (found.empty() ? "(none)" : found) + " instead of " +
                                   (RearPath(r).empty() ? "(none)" : RearPath(r)));
    }
}

} // namespace kolvex::samplecard
