// The camera's clock against GPS time as `probe` and `summary` print it.
// Recordings without GPS time print none of these members, so their
// output stays as it always was.
#pragma once

#include "json.h"

#include "library/card_layout.h"
#include "library/native_path.h"
#include "tracks/camera_clock.h"

#include <optional>
#include <string>
#include <sys/stat.h>

namespace kolvex::cli {

// clockOffsetSec (the camera's clock ahead of UTC, negative behind),
// clockLikeZone (whether it reads as a time zone and a small error),
// clockZoneSec and clockErrorSec (that reading; zone 0 and the whole
// offset as error when it does not).
inline void WriteClockMembers(JsonWriter& json, std::optional<int64_t> offsetSec) {
    if (!offsetSec)
        return;
    const ClockOffsetParts parts = SplitClockOffset(*offsetSec);
    json.Key("clockOffsetSec").Int(*offsetSec);
    json.Key("clockLikeZone").Bool(parts.likeZone);
    json.Key("clockZoneSec").Int(parts.zoneSec);
    json.Key("clockErrorSec").Int(parts.errorSec);
}

// gpsStartMs and cameraStartTime (0 when the camera's time is unknown),
// then the offset, for a recording that carries GPS time.
inline void WriteRecordingClock(JsonWriter& json, const VideoMetaInfo& meta) {
    if (meta.gpsStartMs == 0)
        return;
    json.Key("gpsStartMs").Int(meta.gpsStartMs);
    json.Key("cameraStartTime").Int(meta.cameraStartTime);
    WriteClockMembers(json, CameraClockOffset(meta));
}

// The camera's time of one file named on the command line, as a folder
// scan finds it: besides its text date, its name's date or (a chapter) its
// file's time.
inline void FillCameraStartTime(const std::string& path, VideoMetaInfo& meta) {
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat st {};
    const int64_t modified = ::stat(path.c_str(), &st) == 0 ? st.st_mtim.tv_sec : 0;
    meta.cameraStartTime = LayoutCameraStart(ParseLayoutName(PathFromNative(name)), meta, modified);
}

} // namespace kolvex::cli
