// Adds the camera's records to a video file that a real encoder wrote,
// without touching a byte of its media: players keep playing it, and the
// camera-file reader finds the records where the camera puts them.
#pragma once

#include "fixtures/camera_file_writer.h"

#include <optional>
#include <string>

namespace kolvex::samplecard {

struct CameraRecords {
    std::optional<std::string> textDate;         // "IDIT": "2026-05-14 08:12:00"
    std::optional<fixtures::Bytes> gpsInfo;      // "gpsa", 4 bytes
    std::optional<fixtures::Bytes> gsensorInfo;  // "gsea", 4 bytes
    std::optional<fixtures::Bytes> gpsBlock;     // "gps0", 32-byte samples
    std::optional<fixtures::Bytes> gsensorBlock; // "gsen", 3-byte samples
};

// MP4/MOV: appends the records after the last top-level box, or, with
// insideMovie, as the last children of "moov", which must then be the
// file's last box (the encoder's default layout), so that no media offset
// moves. Throws std::runtime_error for a file that is not a whole ISO file
// and std::invalid_argument when "moov" is not last.
void AddRecordsToIsoFile(const std::string& path, const CameraRecords& records, bool insideMovie);

// AVI: appends the records as chunks after the index, inside the "RIFF"
// list whose size grows accordingly. Every record must have an even size:
// the camera's reader does not step over pad bytes. Throws
// std::runtime_error for a file that is not one whole "RIFF" "AVI " list and
// std::invalid_argument for a record of odd size.
void AddRecordsToAviFile(const std::string& path, const CameraRecords& records);

} // namespace kolvex::samplecard
