#include "tracks/driving_events.h"

#include <algorithm>
#include <cmath>

namespace kolvex {

namespace {

// How far either side of a sample the running median looks. Spikes up to
// this long are jolts; pushes from about 1.5 times this long are the car's
// own forces.
constexpr double kMedianReachMs = 200;
// Runs of one kind closer than this are one event: a stop does not become
// two because the pedal eased for a moment, a crash's shaking is one impact.
constexpr int64_t kMergeGapMs = 1000;

std::vector<double> RunningMedian(const std::vector<double>& values, size_t reach) {
    std::vector<double> medians(values.size());
    std::vector<double> window;
    window.reserve(2 * reach + 1);
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t first = i >= reach ? i - reach : 0;
        const size_t last = std::min(values.size() - 1, i + reach);
        window.assign(values.begin() + static_cast<std::ptrdiff_t>(first),
                      values.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        const auto middle = window.begin() + static_cast<std::ptrdiff_t>(window.size() / 2);
        std::nth_element(window.begin(), middle, window.end());
        medians[i] = *middle;
    }
    return medians;
}

// Collects the runs of samples whose strength reaches the rule's threshold
// and keeps those that last long enough, joining close ones.
void FindRuns(DrivingEventKind kind, const EventRule& rule, const std::vector<double>& strength,
              const std::vector<DecodedGSensorSample>& samples, double intervalMs,
              std::vector<DrivingEvent>& events) {
    if (!(rule.thresholdG > 0))
        return;
    const size_t firstOfKind = events.size();
    size_t i = 0;
    while (i < strength.size()) {
        if (strength[i] < rule.thresholdG) {
            ++i;
            continue;
        }
        const size_t start = i;
        double peak = 0;
        while (i < strength.size() && strength[i] >= rule.thresholdG)
            peak = std::max(peak, strength[i++]);
        const int64_t startMs = samples[start].timeMs;
        const int64_t endMs = samples[i - 1].timeMs + std::llround(intervalMs);
        if (endMs - startMs < rule.minDurationMs)
            continue;
        if (events.size() > firstOfKind) {
            DrivingEvent& last = events.back();
            if (startMs - (last.timeMs + last.durationMs) < kMergeGapMs) {
                last.durationMs = endMs - last.timeMs;
                last.peakG = std::max(last.peakG, peak);
                continue;
            }
        }
        events.push_back({startMs, kind, peak, endMs - startMs});
    }
}

} // namespace

std::string_view DrivingEventName(DrivingEventKind kind) {
    switch (kind) {
    case DrivingEventKind::Braking:
        return "braking";
    case DrivingEventKind::Acceleration:
        return "acceleration";
    case DrivingEventKind::Turn:
        return "turn";
    case DrivingEventKind::Impact:
        return "impact";
    }
    return "unknown";
}

const EventRule& EventThresholds::Rule(DrivingEventKind kind) const {
    switch (kind) {
    case DrivingEventKind::Braking:
        return braking;
    case DrivingEventKind::Acceleration:
        return acceleration;
    case DrivingEventKind::Turn:
        return turn;
    case DrivingEventKind::Impact:
        break;
    }
    return impact;
}

std::vector<DrivingEvent> DetectDrivingEvents(const std::vector<DecodedGSensorSample>& samples,
                                              const EventThresholds& thresholds) {
    std::vector<DrivingEvent> events;
    if (samples.size() < 2)
        return events;
    const double intervalMs = static_cast<double>(samples.back().timeMs - samples.front().timeMs) /
                              static_cast<double>(samples.size() - 1);
    if (!(intervalMs > 0))
        return events;
    const auto reach = static_cast<size_t>(std::max(1.0, std::round(kMedianReachMs / intervalMs)));

    const size_t n = samples.size();
    std::vector<double> x(n), y(n), z(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = samples[i].x;
        y[i] = samples[i].y;
        z[i] = samples[i].z;
    }
    const std::vector<double> smoothX = RunningMedian(x, reach);
    const std::vector<double> smoothY = RunningMedian(y, reach);
    const std::vector<double> smoothZ = RunningMedian(z, reach);

    std::vector<double> braking(n), acceleration(n), turn(n), jolt(n);
    for (size_t i = 0; i < n; ++i) {
        braking[i] = -smoothX[i];
        acceleration[i] = smoothX[i];
        turn[i] = std::fabs(smoothY[i]);
        jolt[i] = std::hypot(x[i] - smoothX[i], y[i] - smoothY[i], z[i] - smoothZ[i]);
    }
    FindRuns(DrivingEventKind::Braking, thresholds.braking, braking, samples, intervalMs, events);
    FindRuns(DrivingEventKind::Acceleration, thresholds.acceleration, acceleration, samples,
             intervalMs, events);
    FindRuns(DrivingEventKind::Turn, thresholds.turn, turn, samples, intervalMs, events);
    FindRuns(DrivingEventKind::Impact, thresholds.impact, jolt, samples, intervalMs, events);
    std::stable_sort(
        events.begin(), events.end(),
        [](const DrivingEvent& a, const DrivingEvent& b) { return a.timeMs < b.timeMs; });
    return events;
}

} // namespace kolvex
