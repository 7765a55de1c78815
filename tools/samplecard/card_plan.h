// What the sample card holds: its drives and, for every recording, where it
// lies, how it is encoded, which part of which drive it shows and what the
// camera wrote into it.
#pragma once

#include "camera_tracks.h"
#include "drive_model.h"
#include "wall_clock.h"

#include <optional>
#include <string>
#include <vector>

namespace kolvex::samplecard {

enum class Container { Mp4, Mov, Avi };

enum class RearPlace {
    Beside,        // in the front file's folder
    SiblingFolder, // in the sibling folder whose name ends in 'R'
};

struct RearPartner {
    RearPlace place = RearPlace::Beside;
    int width = 1280;
    int height = 720;
};

// What another camera writes into its recording instead of the seeded
// camera's records.
enum class OtherTelemetry {
    None,
    Gpmf,     // a "gpmd" track: GPS5 at 18 Hz, ACCL at 200 Hz, a payload a second
    GpmfGps9, // the same with GPS9 at 10 Hz beside GPS5, as newer cameras write
    FreeGps,  // "freeGPS" boxes once a second, indexed by "gps " in "moov"
};

struct PlannedRecording {
    std::string folder; // below the card, '/'-separated: "DCIM/CAMF"
    std::string name;   // "MOVA0010.MP4"
    Container container = Container::Mp4;
    int width = 1920;
    int height = 1080;
    size_t drive = 0; // index into CardPlan::drives
    RecordingWindow window;
    int gpsRate = 0;       // GPS samples per second; 0 writes no GPS records at all
    bool textDate = false; // writes "IDIT"; without it the start comes from the GPS samples
    bool readOnly = false; // the camera's lock: no owner-write bit
    bool recordsInsideMovie = false; // MP4/MOV: the camera records are children of "moov"
    // False for another camera that writes none of these records: its
    // start comes from its name or, for chapters, its file's time.
    bool cameraRecords = true;
    // What such a camera writes into its front file; its rear files carry
    // nothing.
    OtherTelemetry telemetry = OtherTelemetry::None;
    // Such a camera's NMEA text beside the recording (same name, ".NMEA"):
    // RMC and GGA once a second, in UTC.
    bool nmeaSideFile = false;
    // The file's modification time: when the camera closed it (the end of
    // the window) rather than when the card was written. Chapters need it.
    bool stampModified = false;
    bool eventFolder = false; // lies in a folder where the camera keeps events
    std::optional<RearPartner> rear;
};

struct PlannedDrive {
    std::string description;
    std::vector<DriveState> states;
    std::vector<GpsOutage> outages;
    std::vector<Jolt> jolts;
};

struct CardPlan {
    std::vector<PlannedDrive> drives;
    std::vector<PlannedRecording> recordings;
};

// The camera's G-sensor: samples per second and G per 128 raw units.
inline constexpr int kGSensorRate = 10;
inline constexpr int kGSensorScale = 2;

CardPlan SampleCardPlan();

// Cards of other cameras (README, "Other cameras' cards"): an action
// camera's chaptered recordings, and a dual camera's dated names with rear
// files, a read-only folder and an NMEA side file.
enum class SampleLayout { Camera, Action, DualDated };
CardPlan ActionCardPlan();
CardPlan DualDatedCardPlan();
CardPlan PlanFor(SampleLayout layout);

// The rear camera's file of a front file: the character before the last '.'
// becomes 'R' (MOVA0010.MP4 -> MOVA001R.MP4), and for the sibling folder the
// folder's last character too (DCIM/CAMF -> DCIM/CAMR).
std::string RearName(const std::string& frontName);
std::string RearFolder(const std::string& frontFolder);

// Card-relative path of a recording ("DCIM/CAMF/MOVA0010.MP4") and of its
// rear partner.
std::string FrontPath(const PlannedRecording& recording);
std::string RearPath(const PlannedRecording& recording);

// Throws std::logic_error when two front files would share a rear file, or
// when a front file without a partner would find another one's rear file:
// the player looks rear files up by name only.
void CheckRearPartners(const CardPlan& plan);

} // namespace kolvex::samplecard
