// Moments worth a look in a recording, found in its G-sensor samples: hard
// braking, hard acceleration, sharp turns and impacts.
//
// The camera's axes: x along the car (forwards positive, so braking pulls x
// below zero), y across it (left positive), z upwards (1 G at rest).
// Thresholds and peaks are in G; a raw value is raw x scale / 128 with the
// recording's scale (GSensorScale in sample_decoding.h).
//
// How a sample becomes an event. Each axis is smoothed with a running median
// over 0.2 s on either side of the sample: the median keeps the steps and
// ramps of the car's own forces and drops short spikes. The smoothed x and
// y give the sustained kinds; what the median dropped (the sample minus its
// median, as one vector over the three axes) gives the impacts. A kind's
// event is a run of samples at or beyond its threshold that lasts at least
// its minimum duration; runs of one kind less than a second apart are one
// event. A push shorter than about 0.3 s therefore shows as an impact, not
// as braking.
//
// Defaults, calibrated on normal driving (starts up to 0.2 G, stops up to
// 0.26 G, bends up to 0.36 G) and on a parked car's slammed door (about
// 0.55 G for a tenth of a second):
//   braking       x <= -0.40 G  for at least 300 ms
//   acceleration  x >= +0.35 G  for at least 300 ms
//   turn          |y| >= 0.40 G for at least 500 ms
//   impact        jolt >= 0.50 G, any duration
#pragma once

#include "tracks/gps_sample.h"
#include "tracks/video_meta_info.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kolvex {

enum class DrivingEventKind { Braking, Acceleration, Turn, Impact };

// "braking", "acceleration", "turn", "impact": the names in the command
// line's output.
std::string_view DrivingEventName(DrivingEventKind kind);

// A threshold of 0 or less switches the kind off.
struct EventRule {
    double thresholdG = 0;
    int minDurationMs = 0;
    friend bool operator==(const EventRule&, const EventRule&) = default;
};

struct EventThresholds {
    EventRule braking{0.40, 300};
    EventRule acceleration{0.35, 300};
    EventRule turn{0.40, 500};
    EventRule impact{0.50, 0};

    const EventRule& Rule(DrivingEventKind kind) const;
    friend bool operator==(const EventThresholds&, const EventThresholds&) = default;
};

struct DrivingEvent {
    int64_t timeMs = 0; // first sample of the event, from the recording's start
    DrivingEventKind kind = DrivingEventKind::Braking;
    double peakG = 0;       // largest value of the event, a magnitude in G
    int64_t durationMs = 0; // from its first sample to the end of its last
};

// The events of one recording's G-sensor block, in time order. The samples
// lie in time and are scaled as DecodeGSensorBlock lays them out (rate and
// scale from meta's gsensorInfo; without a rate, spread over the
// duration). Fewer than two samples, or samples that do not advance in
// time, give none.
std::vector<DrivingEvent> DetectDrivingEvents(const std::vector<GSensorSample>& samples,
                                              const VideoMetaInfo& meta,
                                              const EventThresholds& thresholds = {});

} // namespace kolvex
