// The NMEA 0183 text some dual cameras write beside a recording: an RMC and
// a GGA sentence once a second, in UTC, each with its checksum.
#pragma once

#include "camera_tracks.h"
#include "drive_model.h"

#include <string>
#include <vector>

namespace kolvex::samplecard {

// The sample cards' camera clock runs on Berlin summer time.
inline constexpr int kCameraUtcOffsetHours = 2;

// "$GPRMC,...*hh": the checksum (XOR of the characters between '$' and '*')
// and the line end appended to `body`, which is given without '$'.
std::string NmeaSentence(const std::string& body);

// One RMC and one GGA sentence for every second of the window.
std::string NmeaSideText(const std::vector<DriveState>& drive, const RecordingWindow& window);

} // namespace kolvex::samplecard
