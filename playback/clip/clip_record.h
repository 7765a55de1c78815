// The record of where a clip came from, written beside it: <clip>.json
// with the source files (size, modification time, SHA-256), the range in
// each, the camera's start times, the clip's own SHA-256, the program's
// version and the GPS track of the range; and the same track as <clip>.gpx.
#pragma once

#include "clip_request.h"

#include <string>

namespace kolvex {

// The SHA-256 of a file as lower-case hex; "" when it cannot be read.
std::string FileSha256(const std::string& path);

// Writes both files for a clip that `result` says was written. False, and
// `error` says why, when either cannot be written (each replaces its
// target only when complete).
bool WriteClipRecord(const ClipRequest& request, const ClipResult& result, std::string& error);

// The record's document, for tests and the writer above.
std::string ClipRecordJson(const ClipRequest& request, const ClipResult& result);

} // namespace kolvex
