#include "card_writer.h"

#include "clip_encoder.h"
#include "nmea_side_file.h"
#include "other_camera_tracks.h"

#include "fixtures/telemetry_writer.h"

#include <ctime>
#include <utime.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace kolvex::samplecard {

namespace fs = std::filesystem;

namespace {

const char* FormatName(Container container) {
    switch (container) {
    case Container::Mp4:
        return "mp4";
    case Container::Mov:
        return "mov";
    case Container::Avi:
        return "avi";
    }
    return "mp4";
}

void AddRecords(const fs::path& file, const PlannedRecording& recording,
                const CameraRecords& records) {
    if (!recording.cameraRecords)
        return;
    if (recording.container == Container::Avi)
        AddRecordsToAviFile(file.string(), records);
    else
        AddRecordsToIsoFile(file.string(), records, recording.recordsInsideMovie);
}

// What another camera's recording carries, for the listing.
std::string DescribeOther(const PlannedRecording& r) {
    switch (r.telemetry) {
    case OtherTelemetry::Gpmf:
        return "  GPMF: GPS5 18 Hz, ACCL 200 Hz";
    case OtherTelemetry::GpmfGps9:
        return "  GPMF: GPS9 10 Hz + GPS5 18 Hz, ACCL 200 Hz";
    case OtherTelemetry::FreeGps:
        return "  freeGPS 1 Hz";
    case OtherTelemetry::None:
        break;
    }
    return r.nmeaSideFile ? "  GPS in its NMEA side file" : "  no GPS";
}

std::string Describe(const PlannedRecording& r) {
    std::string text = std::to_string(r.width) + "x" + std::to_string(r.height) + "  " +
                       r.window.start.Text() + "  " + std::to_string(r.window.seconds) + " s";
    if (r.cameraRecords) {
        text += r.gpsRate ? "  GPS " + std::to_string(r.gpsRate) + " Hz" : "  no GPS";
        text += r.textDate ? ", text date" : ", start from GPS";
    } else {
        text += DescribeOther(r);
    }
    if (r.nmeaSideFile && r.cameraRecords)
        text += ", NMEA side file";
    if ((r.cameraRecords && r.name.size() >= 4 && r.name[3] == 'G') || r.eventFolder)
        text += ", event";
    if (r.readOnly)
        text += ", read-only";
    return text;
}

std::string DescribeRear(const PlannedRecording& r) {
    return std::to_string(r.rear->width) + "x" + std::to_string(r.rear->height) + "  rear of " +
           r.name + (r.cameraRecords ? "" : ", no GPS");
}

fixtures::Bytes ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    fixtures::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail())
        throw std::runtime_error("cannot read " + file.string());
    return bytes;
}

// Another camera's telemetry: the encoder's file gets the track or the boxes
// (before its movie box, which moves to the end; no media offset changes).
void AddOtherTelemetry(const fs::path& file, const CardPlan& plan, const PlannedRecording& r) {
    if (r.telemetry == OtherTelemetry::None)
        return;
    const PlannedDrive& drive = plan.drives.at(r.drive);
    const fixtures::Bytes clip = ReadWhole(file);
    fixtures::Bytes written;
    try {
        if (r.telemetry == OtherTelemetry::FreeGps) {
            std::vector<fixtures::Bytes> boxes;
            for (const auto& fix : DashCameraFreeGps(drive.states, r.window, drive.outages))
                boxes.push_back(fixtures::FreeGpsBox(fix));
            written = fixtures::AddFreeGpsBoxes(clip, boxes);
        } else {
            std::vector<fixtures::TimedSample> samples;
            for (const auto& second :
                 ActionCameraSeconds(drive.states, r.window, drive.outages, drive.jolts,
                                     r.telemetry == OtherTelemetry::GpmfGps9))
                samples.push_back({fixtures::GpmfPayload(second), 1000});
            written = fixtures::AddMetadataTrack(clip, "gpmd", samples);
        }
    } catch (const std::exception& error) {
        throw std::runtime_error(file.string() + ": " + error.what());
    }
    if (!fixtures::WriteBytes(file.string(), written))
        throw std::runtime_error("cannot write " + file.string());
}

void MakeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

// The camera's clock is local time; the file system keeps the instant.
void StampModified(const fs::path& file, const WallClock& end) {
    std::tm fields{};
    fields.tm_year = end.year - 1900;
    fields.tm_mon = end.month - 1;
    fields.tm_mday = end.day;
    fields.tm_hour = end.hour;
    fields.tm_min = end.minute;
    fields.tm_sec = end.second;
    fields.tm_isdst = -1;
    const std::time_t instant = std::mktime(&fields);
    const struct utimbuf times { instant, instant };
    if (instant == -1 || ::utime(file.c_str(), &times) != 0)
        throw std::runtime_error("cannot set the time of " + file.string());
}

void WriteNmeaSideFile(const fs::path& front, const CardPlan& plan, const PlannedRecording& r,
                       std::vector<WrittenFile>& written) {
    fs::path side = front;
    side.replace_extension(".NMEA");
    std::ofstream out(side, std::ios::binary | std::ios::trunc);
    out << NmeaSideText(plan.drives.at(r.drive).states, r.window);
    if (!out.flush())
        throw std::runtime_error("cannot write " + side.string());
    out.close();
    const std::string relative = r.folder + "/" + side.filename().string();
    written.push_back(
        {relative, fs::file_size(side), "NMEA of " + r.name + ", RMC and GGA at 1 Hz"});
}

// Encodes the recording's front clip (and its rear partner's) into the
// build folder and adds the camera's records to each.
void WriteRecording(const fs::path& build, const CardPlan& plan, const PlannedRecording& r,
                    const std::string& font, std::vector<WrittenFile>& written) {
    const CameraRecords records = RecordsFor(plan, r);
    const std::string stem = r.name.substr(0, r.name.rfind('.'));
    const fs::path front = build / FrontPath(r);
    fs::create_directories(front.parent_path());
    ClipRequest clip;
    clip.path = front.string();
    clip.format = FormatName(r.container);
    clip.width = r.width;
    clip.height = r.height;
    clip.seconds = r.window.seconds;
    clip.caption = "FRONT " + stem;
    clip.start = r.window.start;
    clip.seed = static_cast<unsigned>(written.size() + 1);
    EncodeClip(clip, font);
    AddRecords(front, r, records);
    AddOtherTelemetry(front, plan, r);
    if (r.readOnly)
        MakeReadOnly(front);
    written.push_back({FrontPath(r), fs::file_size(front), Describe(r)});
    if (r.nmeaSideFile)
        WriteNmeaSideFile(front, plan, r, written);
    const WallClock end = r.window.start.Plus(r.window.seconds);
    if (r.stampModified)
        StampModified(front, end);

    if (!r.rear)
        return;
    const fs::path rear = build / RearPath(r);
    fs::create_directories(rear.parent_path());
    clip.path = rear.string();
    clip.width = r.rear->width;
    clip.height = r.rear->height;
    clip.front = false;
    clip.caption = "REAR " + stem;
    EncodeClip(clip, font);
    AddRecords(rear, r, records);
    if (r.stampModified)
        StampModified(rear, end);
    written.push_back({RearPath(r), fs::file_size(rear), DescribeRear(r)});
}

bool IsEmptyFolder(const fs::path& folder) {
    return fs::is_directory(folder) && fs::directory_iterator(folder) == fs::directory_iterator();
}

// The card is built inside its own folder, hidden, and its files are moved
// up only when all of them were written: nothing lands outside the folder,
// and a folder that is a mount point (a real memory card) works as well.
fs::path BuildFolder(const fs::path& folder) {
    return folder / (std::string(kCardMarker) + ".partial");
}

void CheckReplaceable(const fs::path& folder) {
    std::error_code error;
    const auto status = fs::symlink_status(folder, error);
    if (!fs::exists(status))
        return;
    if (!fs::is_directory(status))
        throw std::runtime_error(folder.string() + " exists and is not a folder");
    if (!IsEmptyFolder(folder) && !fs::exists(folder / kCardMarker))
        throw std::runtime_error(folder.string() +
                                 " is not empty and holds no sample card; choose another "
                                 "folder or empty it first");
}

void WriteMarker(const fs::path& folder) {
    std::ofstream marker(folder / kCardMarker);
    marker << "A sample card written by tools/make-sample-card; writing the card again "
              "replaces everything in this folder.\n";
    if (!marker)
        throw std::runtime_error("cannot write into " + folder.string());
}

// Replaces the folder's old card (everything but the build folder) with
// what the build folder holds.
void MoveIntoPlace(const fs::path& folder, const fs::path& build) {
    std::vector<fs::path> old;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path() != build)
            old.push_back(entry.path());
    }
    for (const auto& path : old)
        fs::remove_all(path);
    std::vector<fs::path> built;
    for (const auto& entry : fs::directory_iterator(build))
        built.push_back(entry.path());
    for (const auto& path : built)
        fs::rename(path, folder / path.filename());
    fs::remove(build);
}

} // namespace

CameraRecords RecordsFor(const CardPlan& plan, const PlannedRecording& r) {
    const PlannedDrive& drive = plan.drives.at(r.drive);
    CameraRecords records;
    if (r.textDate)
        records.textDate = r.window.start.Text();
    if (r.gpsRate > 0) {
        records.gpsInfo = fixtures::InfoRecord(static_cast<uint8_t>(r.gpsRate));
        records.gpsBlock =
            fixtures::GpsBlock(CameraGpsTrack(drive.states, r.window, r.gpsRate, drive.outages));
    }
    records.gsensorInfo = fixtures::InfoRecord(kGSensorRate, kGSensorScale);
    // Each recording's road noise differs; the same recording's is always the same.
    const uint64_t seed = static_cast<uint64_t>(r.window.start.ToSeconds());
    records.gsensorBlock = fixtures::GSensorBlock(
        CameraGSensorTrack(drive.states, r.window, kGSensorRate, kGSensorScale, drive.jolts, seed));
    return records;
}

std::vector<WrittenFile> WriteSampleCard(const fs::path& requested, const CardPlan& plan) {
    const fs::path folder = fs::weakly_canonical(fs::absolute(requested));
    CheckReplaceable(folder);
    const bool created = !fs::exists(folder);
    const bool wasEmpty = created || IsEmptyFolder(folder);
    fs::create_directories(folder);
    // Marked at once, so that a run cut short is replaced by the next one.
    WriteMarker(folder);
    const fs::path build = BuildFolder(folder);
    fs::remove_all(build);
    fs::create_directories(build);

    std::vector<WrittenFile> written;
    try {
        WriteMarker(build);
        const std::string font = FindCaptionFont();
        for (const PlannedRecording& r : plan.recordings)
            WriteRecording(build, plan, r, font, written);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(build, ignored);
        if (created)
            fs::remove_all(folder, ignored);
        else if (wasEmpty)
            fs::remove(folder / kCardMarker, ignored);
        throw;
    }

    MoveIntoPlace(folder, build);
    return written;
}

} // namespace kolvex::samplecard
