#include "tracks/driving_events.h"

#include "tracks/sample_decoding.h"

#include <algorithm>
#include <cmath>

namespace kolvex {

namespace {

// How far either side of a sample the running median looks. Spikes up to
// this long are jolts; pushes from about 1.5 times this long are the car's
// own forces.
constexpr double kMedianReachMs = 200;
// The reach in samples is capped where the fastest rate a recording can
// state (255 per second) takes it. A block without a rate that claims far
// more samples than its recording's duration holds would otherwise make
// each window as long as the block.
constexpr size_t kMaxMedianReach = 51;
// Runs of one kind closer than this are one event: a stop does not become
// two because the pedal eased for a moment, a crash's shaking is one impact.
constexpr int64_t kMergeGapMs = 1000;

// The work is done on the raw values (G = raw x scale / 128): the median of
// scaled values is the scaled median, and whole numbers compare fast.
// Sixteen bits hold every raw value and let the compiler take the
// processor's own minimum and maximum of many values at once.
using Raw = int16_t;
using Axis = std::vector<Raw>;
using Strengths = std::vector<int>;

// The median of values[first, last) (of an even count, the upper middle one).
Raw MedianOf(const Axis& values, size_t first, size_t last) {
    Axis window(values.begin() + static_cast<std::ptrdiff_t>(first),
                values.begin() + static_cast<std::ptrdiff_t>(last));
    const auto middle = window.begin() + static_cast<std::ptrdiff_t>(window.size() / 2);
    std::nth_element(window.begin(), middle, window.end());
    return *middle;
}

Raw MedianOf3(Raw a, Raw b, Raw c) {
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

// Of a and b and of c and d the larger smaller one and the smaller larger one
// bracket the median of all five with e. No branches: the compiler runs it
// over many samples at once.
Raw MedianOf5(Raw a, Raw b, Raw c, Raw d, Raw e) {
    return MedianOf3(e, std::max(std::min(a, b), std::min(c, d)),
                     std::min(std::max(a, b), std::max(c, d)));
}

// The median of the values within `reach` of each value (fewer at the ends;
// of an even count, the upper middle one). The window is kept sorted as it
// slides: in the middle of the block the value that enters takes the place
// of the one that leaves and is moved to its rank, at the ends the window
// grows or shrinks. It is small (5 values at 10 Hz), so plain steps beat
// anything cleverer.
Axis RunningMedian(const Axis& values, size_t reach) {
    Axis medians(values.size());
    // The usual 10 Hz sensor: five values, without the sliding bookkeeping.
    if (reach == 2 && values.size() > 4) {
        const size_t n = values.size();
        for (size_t i = 2; i + 2 < n; ++i)
            medians[i] =
                MedianOf5(values[i - 2], values[i - 1], values[i], values[i + 1], values[i + 2]);
        medians[0] = MedianOf(values, 0, 3);
        medians[1] = MedianOf(values, 0, 4);
        medians[n - 2] = MedianOf(values, n - 4, n);
        medians[n - 1] = MedianOf(values, n - 3, n);
        return medians;
    }
    Axis window(2 * reach + 1);
    size_t size = 0;
    size_t first = 0, end = 0; // the window holds values[first, end)
    const auto rankOf = [&](Raw value) {
        size_t at = 0;
        while (at + 1 < size && window[at] != value)
            ++at;
        return at;
    };
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t wantedFirst = i >= reach ? i - reach : 0;
        const size_t wantedEnd = std::min(values.size(), i + reach + 1);
        for (; first < wantedFirst && end < wantedEnd; ++first, ++end) {
            size_t at = rankOf(values[first]);
            window[at] = values[end];
            for (; at > 0 && window[at - 1] > window[at]; --at)
                std::swap(window[at - 1], window[at]);
            for (; at + 1 < size && window[at + 1] < window[at]; ++at)
                std::swap(window[at + 1], window[at]);
        }
        for (; first < wantedFirst; ++first) {
            for (size_t at = rankOf(values[first]); at + 1 < size; ++at)
                window[at] = window[at + 1];
            --size;
        }
        for (; end < wantedEnd; ++end) {
            size_t at = size++;
            for (; at > 0 && window[at - 1] > values[end]; --at)
                window[at] = window[at - 1];
            window[at] = values[end];
        }
        medians[i] = window[size / 2];
    }
    return medians;
}

// Where the samples lie in time, as DecodeGSensorBlock places them.
struct Timeline {
    unsigned rate = 0;
    uint64_t durationMs = 0;
    size_t count = 0;
    int64_t At(size_t i) const {
        return rate != 0 ? static_cast<int64_t>(i) * 1000 / rate
                         : static_cast<int64_t>(i * durationMs / count);
    }
};

// Collects the runs of samples whose strength (raw units, or squared raw
// units for jolts) reaches `threshold` and keeps those that last long
// enough, joining close ones. `toG` turns a strength into G for the peak.
template <typename ToG>
void FindRuns(DrivingEventKind kind, int64_t threshold, int minDurationMs,
              const Strengths& strength, const Timeline& time, double intervalMs, ToG toG,
              std::vector<DrivingEvent>& events) {
    const size_t firstOfKind = events.size();
    const size_t count = strength.size();
    size_t i = 0;
    while (i < count) {
        if (strength[i] < threshold) {
            ++i;
            continue;
        }
        const size_t start = i;
        int peak = 0;
        for (; i < count && strength[i] >= threshold; ++i)
            peak = std::max(peak, strength[i]);
        const int64_t startMs = time.At(start);
        const int64_t endMs = time.At(i - 1) + std::llround(intervalMs);
        if (endMs - startMs < minDurationMs)
            continue;
        if (events.size() > firstOfKind) {
            DrivingEvent& last = events.back();
            if (startMs - (last.timeMs + last.durationMs) < kMergeGapMs) {
                last.durationMs = endMs - last.timeMs;
                last.peakG = std::max(last.peakG, toG(peak));
                continue;
            }
        }
        events.push_back({startMs, kind, toG(peak), endMs - startMs});
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

std::vector<DrivingEvent> DetectDrivingEvents(const std::vector<GSensorSample>& samples,
                                              const VideoMetaInfo& meta,
                                              const EventThresholds& thresholds) {
    std::vector<DrivingEvent> events;
    const size_t n = samples.size();
    if (n < 2)
        return events;
    const Timeline time{meta.gsensorInfo[0], meta.durationMs, n};
    const double intervalMs =
        static_cast<double>(time.At(n - 1) - time.At(0)) / static_cast<double>(n - 1);
    if (!(intervalMs > 0))
        return events;
    const auto reach = static_cast<size_t>(
        std::clamp(std::round(kMedianReachMs / intervalMs), 1.0, double{kMaxMedianReach}));
    const double gPerUnit = GSensorScale(meta) / 128.0;

    Axis x(n), y(n), z(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = samples[i].x;
        y[i] = samples[i].y;
        z[i] = samples[i].z;
    }
    const Axis smoothX = RunningMedian(x, reach);
    const Axis smoothY = RunningMedian(y, reach);
    const Axis smoothZ = RunningMedian(z, reach);

    // Each kind's strength in raw units (jolts squared) goes through one
    // buffer; most recordings never come near a threshold, and the largest
    // strength, found without a branch per sample, says so at once.
    Strengths strength(n);
    const auto find = [&](DrivingEventKind kind, bool squared, auto toG) {
        const EventRule& rule = thresholds.Rule(kind);
        if (!(rule.thresholdG > 0))
            return;
        double threshold = rule.thresholdG / gPerUnit;
        if (squared)
            threshold *= threshold;
        // A raw strength is a whole number: it reaches the threshold when it
        // reaches the next whole number (the margin absorbs the division's
        // rounding). Beyond the largest strength the kind does not occur.
        threshold = std::ceil(threshold - 1e-6);
        if (threshold > static_cast<double>(*std::max_element(strength.begin(), strength.end())))
            return;
        FindRuns(kind, static_cast<int64_t>(threshold), rule.minDurationMs, strength, time,
                 intervalMs, toG, events);
    };
    const auto scaled = [gPerUnit](int raw) { return raw * gPerUnit; };
    for (size_t i = 0; i < n; ++i)
        strength[i] = -smoothX[i];
    find(DrivingEventKind::Braking, false, scaled);
    for (size_t i = 0; i < n; ++i)
        strength[i] = smoothX[i];
    find(DrivingEventKind::Acceleration, false, scaled);
    for (size_t i = 0; i < n; ++i)
        strength[i] = std::abs(smoothY[i]);
    find(DrivingEventKind::Turn, false, scaled);
    // What the median dropped, as one vector.
    for (size_t i = 0; i < n; ++i) {
        const int dx = x[i] - smoothX[i], dy = y[i] - smoothY[i], dz = z[i] - smoothZ[i];
        strength[i] = dx * dx + dy * dy + dz * dz;
    }
    find(DrivingEventKind::Impact, true,
         [gPerUnit](int squared) { return std::sqrt(static_cast<double>(squared)) * gPerUnit; });
    std::stable_sort(
        events.begin(), events.end(),
        [](const DrivingEvent& a, const DrivingEvent& b) { return a.timeMs < b.timeMs; });
    return events;
}

} // namespace kolvex
