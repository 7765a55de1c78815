// One recording's driving events and trip figures from its raw blocks: what
// the window's event marks and trip panel and the command line's events and
// summary show.
#pragma once

#include "tracks/driving_events.h"
#include "tracks/gps_sample.h"
#include "tracks/trip_figures.h"
#include "tracks/video_meta_info.h"

#include <vector>

namespace kolvex {

struct RecordingAnalysis {
    std::vector<DrivingEvent> events;
    TripFigures figures;
};

RecordingAnalysis AnalyseRecording(const std::vector<GpsSample>& gps,
                                   const std::vector<GSensorSample>& gsensor,
                                   const VideoMetaInfo& meta, const EventThresholds& thresholds);

} // namespace kolvex
