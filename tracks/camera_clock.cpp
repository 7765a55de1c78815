#include "tracks/camera_clock.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace kolvex {

namespace {

// Within this many seconds of the card's offset a recording's own offset
// is taken for jitter of its GPS start, not for a changed clock.
constexpr int64_t kSameOffsetSec = 2;

int64_t FloorDiv(int64_t value, int64_t by) {
    const int64_t q = value / by;
    return (value % by != 0 && (value < 0) != (by < 0)) ? q - 1 : q;
}

int64_t LowerMedian(std::vector<int64_t>& values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>((values.size() - 1) / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

int64_t StartEstimate(const TelemetryFix& fix) {
    return fix.utcMs - std::llround(fix.timeSec * 1000.0);
}

} // namespace

std::optional<int64_t> GpsStartUtcMs(const std::vector<TelemetryFix>& fixes, double withinSec) {
    std::vector<int64_t> estimates;
    for (const TelemetryFix& f : fixes) {
        if (!f.fix || f.utcMs < 0 || f.timeSec < 0 || (withinSec > 0 && f.timeSec > withinSec))
            continue;
        estimates.push_back(StartEstimate(f));
    }
    if (estimates.size() < kMinAgreeingFixes)
        return std::nullopt;
    std::vector<int64_t> all = estimates;
    const int64_t median = LowerMedian(all);
    std::vector<int64_t> agreeing;
    for (const int64_t e : estimates)
        if (std::llabs(e - median) <= kGpsTimeAgreementMs)
            agreeing.push_back(e);
    if (agreeing.size() < kMinAgreeingFixes || agreeing.size() * 2 < estimates.size())
        return std::nullopt;
    return LowerMedian(agreeing);
}

bool AgreesWithGpsStart(const TelemetryFix& fix, int64_t gpsStartMs) {
    return fix.utcMs >= 0 && std::llabs(StartEstimate(fix) - gpsStartMs) <= kGpsTimeAgreementMs;
}

int64_t CameraClockReading(int64_t localEpoch) {
    const std::time_t t = static_cast<std::time_t>(localEpoch);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return localEpoch;
    return localEpoch + static_cast<int64_t>(local.tm_gmtoff);
}

std::optional<int64_t> CameraClockOffset(const VideoMetaInfo& meta) {
    if (meta.cameraStartTime == 0 || meta.gpsStartMs == 0)
        return std::nullopt;
    const int64_t differenceMs = CameraClockReading(meta.cameraStartTime) * 1000 - meta.gpsStartMs;
    // To the nearest second, halves away from zero.
    return differenceMs >= 0 ? (differenceMs + 500) / 1000 : -((-differenceMs + 500) / 1000);
}

std::optional<int64_t> CardClockOffset(std::vector<int64_t> offsets) {
    if (offsets.empty())
        return std::nullopt;
    return LowerMedian(offsets);
}

ClockOffsetParts SplitClockOffset(int64_t offsetSec) {
    constexpr int64_t kQuarterHour = 15 * 60;
    ClockOffsetParts parts;
    const int64_t zone = std::clamp<int64_t>(
        FloorDiv(offsetSec + kQuarterHour / 2, kQuarterHour) * kQuarterHour, -12 * 3600, 14 * 3600);
    parts.errorSec = offsetSec - zone;
    parts.likeZone = std::llabs(parts.errorSec) < kSmallClockErrorSec;
    parts.zoneSec = parts.likeZone ? zone : 0;
    if (!parts.likeZone)
        parts.errorSec = offsetSec;
    return parts;
}

int64_t GpsCorrectedStartTime(const VideoMetaInfo& meta, std::optional<int64_t> cardOffset) {
    if (meta.gpsStartMs == 0)
        return meta.startTime;
    const std::optional<int64_t> own = CameraClockOffset(meta);
    if (!own)
        return FloorDiv(meta.gpsStartMs, 1000);
    const int64_t offset =
        cardOffset && std::llabs(*own - *cardOffset) <= kSameOffsetSec ? *cardOffset : *own;
    return CameraClockReading(meta.cameraStartTime) - offset;
}

} // namespace kolvex
