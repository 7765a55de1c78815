#include "tracks/recording_analysis.h"

namespace kolvex {

RecordingAnalysis AnalyseRecording(const std::vector<GpsSample>& gps,
                                   const std::vector<GSensorSample>& gsensor,
                                   const VideoMetaInfo& meta, const EventThresholds& thresholds) {
    RecordingAnalysis analysis;
    analysis.events = DetectDrivingEvents(gsensor, meta, thresholds);
    analysis.figures =
        RecordingTripFigures(gps, meta, static_cast<int64_t>(analysis.events.size()));
    return analysis;
}

} // namespace kolvex
