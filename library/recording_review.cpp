// Driving events and trip figures of the opened recordings, for the window
// (marks, tooltip, panel) and the command line (events, summary).
#include "recording_manager.h"

#include "native_path.h"

#include "tracks/sample_decoding.h"

namespace kolvex {

bool CRecordingManager::AnalyseEntry(int entry, const EventThresholds& thresholds,
                                     RecordingAnalysis& out) const {
    out = {};
    if (entry < 0 || entry >= static_cast<int>(m_entries.size()))
        return false;
    const VideoMetaInfo& meta = m_entries[static_cast<size_t>(entry)].meta;
    std::vector<GpsSample> gps;
    std::vector<GSensorSample> gsensor;
    if (!ReadRecordingSamples(NativePath(GetPath(entry)).toStdString(), meta, gps, gsensor))
        return false;
    out = AnalyseRecording(gps, gsensor, meta, thresholds);
    return true;
}

bool CRecordingManager::AnalyseCurrent(const EventThresholds& thresholds,
                                       RecordingAnalysis& out) const {
    out = {};
    if (m_nCurFile < 0 || m_nCurFile >= static_cast<int>(m_entries.size()))
        return false;
    const VideoMetaInfo& meta = m_entries[static_cast<size_t>(m_nCurFile)].meta;
    out = AnalyseRecording(LoadGpsBlock(m_gpsData.data(), m_nGpsDataSize),
                           LoadGSensorBlock(m_gsensorData.data(), m_nGSensorDataSize), meta,
                           thresholds);
    return true;
}

bool CRecordingManager::AnalyseGroup(int group, const EventThresholds& thresholds,
                                     TripFigures& out) const {
    out = {};
    if (group < 0 || group >= static_cast<int>(m_groups.size()))
        return false;
    const RecordingGroup& g = m_groups[static_cast<size_t>(group)];
    bool allRead = true;
    for (int e = g.firstEntry; e < g.firstEntry + g.count; ++e) {
        RecordingAnalysis analysis;
        if (AnalyseEntry(e, thresholds, analysis))
            AddTripFigures(out, analysis.figures);
        else
            allRead = false;
    }
    return allRead;
}

} // namespace kolvex
