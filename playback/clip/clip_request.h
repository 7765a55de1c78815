// What a clip is made of and what making it gives back. The writer runs on
// whatever thread calls it: a window hands it a progress callback and a
// cancel flag and reads the result when it returns.
#pragma once

#include "tracks/video_meta_info.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kolvex {

enum class ClipLayout {
    Front,      // the front camera alone
    SideBySide, // front on the left, rear beside it at the front's height
    RearInset,  // the rear small in the front's top right corner
};

// One recording's part of a clip. Consecutive parts play one after another
// in the clip without a gap.
struct ClipPart {
    std::string frontPath; // native path of the front file
    std::string rearPath;  // native path of its rear file, "" when there is none
    VideoMetaInfo meta;    // the front file as the library parsed it
    int64_t fromMs = 0;    // the part's range inside the recording
    int64_t toMs = 0;
};

struct ClipRequest {
    std::vector<ClipPart> parts;
    ClipLayout layout = ClipLayout::Front;
    bool overlay = true;    // date and time, speed, position, heading, G-force
    bool speedInKmh = true; // the overlay's speed unit: km/h, else mph
    std::string target;     // native path of the clip (MP4)
};

struct ClipProgress {
    double fraction = 0;     // 0 .. 1 of the clip written
    double secondsLeft = -1; // estimate; negative while unknown
};

using ClipProgressCallback = std::function<void(const ClipProgress&)>;

// What was written of one part: a cut without re-encoding starts at the key
// frame at or before the asked start and ends at the key frame at or after
// the asked end, so these may be wider than the request.
struct ClipPartRange {
    int64_t fromMs = 0;
    int64_t toMs = 0;
};

struct ClipResult {
    bool written = false;   // the clip lies complete under the target name
    bool cancelled = false; // stopped by the cancel flag
    std::string error;      // why nothing was written ("" when written)
    bool streamCopied = false;
    std::vector<ClipPartRange> ranges; // per part, when written
    int width = 0, height = 0;         // the clip's picture
};

} // namespace kolvex
