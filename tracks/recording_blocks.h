// The one way to a recording's samples: its GPS and G-sensor blocks as the
// camera's block bytes, whatever the recording carries. The camera's own
// blocks are read as they lie; GPMF, CAMM, freeGPS and NMEA telemetry is
// read and laid out as such blocks at the rates its VideoMetaInfo gives.
#pragma once

#include "tracks/video_meta_info.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kolvex {

struct RecordingBlocks {
    std::vector<uint8_t> gps;     // 32-byte GPS samples (a camera block may end in a partial one)
    std::vector<uint8_t> gsensor; // 3-byte G-sensor samples
    // A camera block that reaches past the end of the file is cut to what
    // the file holds; these say whether each block was read whole.
    bool gpsWhole = true;
    bool gsensorWhole = true;
};

enum RecordingBlock : unsigned { kGpsBlock = 1, kGSensorBlock = 2, kBothBlocks = 3 };

// Reads the blocks asked for. False when the file cannot be opened or read
// (then both are empty); a recording without blocks gives empty ones.
bool ReadRecordingBlocks(const std::string& path, const VideoMetaInfo& meta, RecordingBlocks& out,
                         unsigned which = kBothBlocks);

// Whether the recording has G-sensor samples to read, as far as the parse
// could tell.
bool HasGSensorBlock(const VideoMetaInfo& meta);

} // namespace kolvex
