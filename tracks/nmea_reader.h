// NMEA 0183 text as dash cameras write it beside a recording: RMC
// (time, status, position, speed in knots, course, date) and GGA (time,
// position, fix quality, altitude) sentences of any talker. A sentence is
// taken only with a correct checksum and possible values; others are
// skipped. Times are UTC.
#pragma once

#include "tracks/telemetry_track.h"

#include <string>
#include <string_view>
#include <vector>

namespace kolvex {

// The fixes of a text, one per distinct time (an RMC with the altitude of
// the GGA of the same time, or a GGA alone), in order, with timeSec counted
// from the first fix. RMC dates date the GGA sentences that follow them.
std::vector<TelemetryFix> ReadNmeaText(std::string_view text);

// The file beside a recording that holds its NMEA sentences: the same path
// with its extension replaced by .NMEA, .nmea, .Nmea, .gps, .GPS or .Gps;
// "" when there is none.
std::string FindNmeaSideFile(const std::string& recordingPath);

// The same rule over the names of a folder that the caller has listed
// already (the extension in any case); "" when none fits.
std::string NmeaSideFileName(const std::string& recordingName,
                             const std::vector<std::string>& namesInFolder);

} // namespace kolvex
