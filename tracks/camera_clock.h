// The camera's clock against GPS time. A camera writes its start time on
// its own clock, set by hand to local time (or UTC, or wrong after a flat
// battery); a GPS receiver knows UTC. Where a recording carries both, the
// difference is the camera's offset: its time zone plus its clock's error.
#pragma once

#include "tracks/telemetry_track.h"
#include "tracks/video_meta_info.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kolvex {

// Fixes whose GPS times agree with the others' within this much count
// towards the recording's GPS start; further off is a time that jumped.
inline constexpr int64_t kGpsTimeAgreementMs = 1500;
// At least this many valid fixes must agree before a GPS start is taken.
inline constexpr size_t kMinAgreeingFixes = 3;

// When the recording started by GPS time (UTC, ms since 1970): each valid
// fix with a UTC time gives one estimate (its time less its offset into
// the recording); the median of the estimates that agree with the median
// of all, when at least kMinAgreeingFixes and half of them agree. So a
// receiver's bad first fix, or a time that jumps later, does not set it.
// Fixes beyond withinSec into the recording (when it is above 0) do not
// belong to it and count for nothing.
std::optional<int64_t> GpsStartUtcMs(const std::vector<TelemetryFix>& fixes, double withinSec = 0);

// Whether a fix's GPS time agrees with a GPS start found by GpsStartUtcMs.
bool AgreesWithGpsStart(const TelemetryFix& fix, int64_t gpsStartMs);

// The camera's clock reading at an instant given the way start times are
// kept (local calendar fields converted by the C library): those calendar
// fields counted as seconds since 1970 as if they were UTC.
int64_t CameraClockReading(int64_t localEpoch);

// How far the camera's clock runs ahead of UTC, rounded to the second
// (negative: behind). Nothing when the recording has no camera time or no
// GPS time (VideoMetaInfo::cameraStartTime, VideoMetaInfo::gpsStartMs).
std::optional<int64_t> CameraClockOffset(const VideoMetaInfo& meta);

// The figure of a whole card: the median of its recordings' offsets (the
// lower middle one of an even number), nothing without any.
std::optional<int64_t> CardClockOffset(std::vector<int64_t> offsets);

// An offset read as a time zone (a multiple of a quarter hour between
// UTC-12:00 and UTC+14:00, as time zones are) and the clock's error on it.
// `likeZone` says whether the error is small (under 5 minutes): otherwise
// the clock is simply wrong and no zone is claimed.
struct ClockOffsetParts {
    int64_t zoneSec = 0;
    int64_t errorSec = 0;
    bool likeZone = false;
};
inline constexpr int64_t kSmallClockErrorSec = 5 * 60;
ClockOffsetParts SplitClockOffset(int64_t offsetSec);

// The start a recording is listed at when the list goes by GPS time: the
// camera's time less the offset, taking the card's offset where the
// recording's own agrees with it within a couple of seconds (the camera's
// clock keeps consecutive recordings exactly apart; GPS starts jitter) and
// its own otherwise (a card that spans a change of the clock). A recording
// without a camera time starts at its GPS start; one without GPS time
// keeps `meta.startTime`.
int64_t GpsCorrectedStartTime(const VideoMetaInfo& meta, std::optional<int64_t> cardOffset);

} // namespace kolvex
