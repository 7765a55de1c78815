// The current recording's samples: reading its blocks, the sample for a
// playback time, and the path on the map.
#include "recording_manager.h"

#include "map_statements.h"
#include "native_path.h"

#include "tracks/recording_blocks.h"
#include "tracks/track_math.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex {

namespace {

// Whether the recording can be read now: a regular file that opens. A
// recording replaced by a pipe or a device is no recording.
class BlockFile {
public:
    explicit BlockFile(const QString& path)
        : m_fd(::open(NativePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        struct stat st;
        if (m_fd >= 0 && (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~BlockFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    BlockFile(const BlockFile&) = delete;
    BlockFile& operator=(const BlockFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

private:
    int m_fd;
};

GpsSample SampleAt(const std::vector<uint8_t>& block, size_t index) {
    return LoadGpsSample(block.data() + index * kGpsSampleSize);
}

// One statement per plottable sample of a block, in order.
void PlotEachPlottable(IMapView& map, const std::vector<uint8_t>& block, uint32_t size,
                       QString (*statement)(const GpsSample&)) {
    const size_t count = size / kGpsSampleSize;
    for (size_t i = 0; i < count; ++i) {
        const GpsSample sample = SampleAt(block, i);
        if (IsPlottable(sample))
            map.RunScript(statement(sample));
    }
}

} // namespace

int CRecordingManager::LoadRecordingData(int entry) {
    if (entry < 0 || entry >= static_cast<int>(m_entries.size()))
        return 0;
    if (m_pMap) {
        m_pMap->RunScript(kDrivenPathDelete);
        m_pMap->RunScript(kPathDelete);
        // The car comes back with this recording's first position; one
        // without GPS shows none rather than the last recording's.
        m_pMap->RunScript(kMarkerDelete);
    }
    // The buffers are filled below only for blocks that lie inside the
    // file: a damaged record must not make us allocate what it claims.
    ReleaseSampleBuffers();
    m_nCurFile = entry;
    // The instruments belong to the new recording from now on; its first
    // time report must redraw them whatever sample the last one showed.
    m_nLastShownSample = 0;

    const VideoMetaInfo& meta = m_entries[static_cast<size_t>(entry)].meta;
    m_strDataPath = GetCurrentPath();
    // Also when the file cannot be read: the graph must not go on showing
    // the last recording's samples.
    if (m_pGSensor)
        m_pGSensor->ClearSamples();
    if (!BlockFile(m_strDataPath).IsOpen())
        return 0;

    // A camera block is taken only when it lies whole inside the file.
    RecordingBlocks blocks;
    ReadRecordingBlocks(NativePath(m_strDataPath).toStdString(), meta, blocks);
    if (blocks.gsensorWhole && !blocks.gsensor.empty()) {
        m_gsensorData = std::move(blocks.gsensor);
        m_nGSensorDataSize = static_cast<uint32_t>(m_gsensorData.size());
    }
    if (m_nGSensorDataSize != 0 && m_pGSensor) {
        const int count = static_cast<int>(m_nGSensorDataSize / kGSensorSampleSize);
        m_pGSensor->SetScale(meta.gsensorInfo[1], 2.0);
        m_pGSensor->ClearSamples();
        m_pGSensor->AppendSamples(count, reinterpret_cast<const int8_t*>(m_gsensorData.data()));
        m_pGSensor->UpdateTimeScale();
        double samplesPerMs = meta.gsensorInfo[0] / 1000.0;
        if (meta.gsensorInfo[0] == 0)
            samplesPerMs = meta.durationMs ? static_cast<double>(count) / meta.durationMs : 0.0;
        m_pGSensor->SetSamplesPerMs(samplesPerMs);
        m_pGSensor->UpdateTimeScale();
        m_pGSensor->SetPixelsPerMs(0.01);
        m_pGSensor->UpdateTimeScale();
        m_pGSensor->SetTimeScaleMode(2);
    }

    if (blocks.gpsWhole && !blocks.gps.empty()) {
        m_gpsData = std::move(blocks.gps);
        m_nGpsDataSize = static_cast<uint32_t>(m_gpsData.size());
    }
    if (m_nGpsDataSize != 0) {
        m_dGpsRate = meta.gpsInfo[0] ? meta.gpsInfo[0] : 1.0;
        if (m_pMap)
            PlotEachPlottable(*m_pMap, m_gpsData, m_nGpsDataSize, PathPlotStatement);
    }
    PlotSpeedRoute();
    return 1;
}

void CRecordingManager::PlotSpeedRoute() {
    // Switched off and nothing drawn: the page hears nothing of the route.
    if (!m_pMap || (!m_bSpeedRoute && !m_bSpeedRouteDrawn))
        return;
    m_pMap->RunScript(kSpeedRouteDelete);
    m_bSpeedRouteDrawn = m_bSpeedRoute;
    if (m_bSpeedRoute)
        PlotEachPlottable(*m_pMap, m_gpsData, m_nGpsDataSize, SpeedRoutePlotStatement);
}

void CRecordingManager::PlotEventMarks(const std::vector<DrivingEvent>& events,
                                       const std::function<QString(const DrivingEvent&)>& labelOf) {
    if (!m_pMap)
        return;
    m_pMap->RunScript(kEventMarksDelete);
    const double count = static_cast<double>(m_nGpsDataSize / kGpsSampleSize);
    for (const DrivingEvent& event : events) {
        const double position = static_cast<double>(event.timeMs) * m_dGpsRate / 1000.0;
        if (!(position >= 0.0) || position >= count)
            continue;
        const GpsSample sample = SampleAt(m_gpsData, static_cast<size_t>(position));
        if ((sample.flags & kGpsFixValid) == 0 || !IsPlottable(sample))
            continue;
        m_pMap->RunScript(EventMarkStatement(sample, labelOf(event)));
    }
}

void CRecordingManager::ReplotMap(uint32_t timeMs) {
    if (!m_pMap || m_nGpsDataSize == 0)
        return;
    m_pMap->RunScript(kPathDelete);
    PlotEachPlottable(*m_pMap, m_gpsData, m_nGpsDataSize, PathPlotStatement);
    PlotSpeedRoute();
    PlotDrivenPath(timeMs);
    m_nLastShownSample = -1; // the marker goes back on at the next report
}

void CRecordingManager::ClearGpsInstruments() {
    if (!m_pMainWnd)
        return;
    if (ICompassView* compass = m_pMainWnd->Compass())
        compass->SetImage(0);
    if (ISpeedView* speed = m_pMainWnd->SpeedReadout())
        speed->SetSpeed(false, 0);
}

void CRecordingManager::ClearPosition() {
    if (m_pMap) {
        m_pMap->RunScript(kDrivenPathDelete);
        m_pMap->RunScript(kMarkerDelete);
    }
    ClearGpsInstruments();
    // The next report redraws the instruments, whichever sample it is.
    m_nLastShownSample = -1;
}

void CRecordingManager::ReleaseSampleBuffers() {
    m_gpsData.clear();
    m_gpsData.shrink_to_fit();
    m_nGpsDataSize = 0;
    m_gsensorData.clear();
    m_gsensorData.shrink_to_fit();
    m_nGSensorDataSize = 0;
}

void CRecordingManager::UnloadRecordingData() {
    if (m_pMap) {
        m_pMap->RunScript(kPathDelete);
        m_pMap->RunScript(kEventMarksDelete);
    }
    ClearPosition();
    ReleaseSampleBuffers();
    PlotSpeedRoute(); // takes a drawn route away
    if (m_pGSensor) {
        m_pGSensor->ClearSamples();
        m_pGSensor->Invalidate(true);
    }
    ClearHighlights();
    m_nCurFile = -1;
    m_strDataPath.clear();
}

int CRecordingManager::LoadedRecordingRow() const {
    if (m_strDataPath.isEmpty())
        return -1;
    for (int i = 0; i < static_cast<int>(m_entries.size()); ++i)
        if (GetPath(i) == m_strDataPath)
            return i;
    return -1;
}

int CRecordingManager::UpdatePosition(int64_t timeMs, bool updateGraph, bool updateMap) {
    if (updateGraph && m_pGSensor && m_nGSensorDataSize != 0) {
        m_pGSensor->SetStopped(false);
        m_pGSensor->Invalidate(true);
        m_pGSensor->SetCurrentTime(static_cast<int32_t>(static_cast<uint32_t>(timeMs)));
    }
    const int64_t count = m_nGpsDataSize / kGpsSampleSize;
    if (count == 0) {
        ClearGpsInstruments();
        return 0;
    }
    const double position = static_cast<double>(timeMs) * m_dGpsRate / 1000.0;
    // Compared as a double first so that absurd times cannot overflow the
    // conversion to an index.
    if (!(position >= 0.0) || position >= static_cast<double>(count)) {
        ClearGpsInstruments();
        return 0;
    }
    const int64_t index = static_cast<int64_t>(position);
    const uint8_t* stored = m_gpsData.data() + index * kGpsSampleSize;
    if ((stored[gps_offset::kFlags] & kGpsFixValid) == 0) {
        ClearGpsInstruments();
        return 0;
    }
    if (index != 0 && index == m_nLastShownSample)
        return 1;
    m_nLastShownSample = index;
    const GpsSample sample = LoadGpsSample(stored);
    if (m_pMainWnd) {
        if (ICompassView* compass = m_pMainWnd->Compass())
            compass->SetHeading(sample.heading * 2);
        if (ISpeedView* speed = m_pMainWnd->SpeedReadout())
            speed->SetSpeed(true, sample.speed);
    }
    // The compass and speed show the fix; the marker moves only to a real
    // position.
    if (!IsPlottable(sample))
        return 0;
    if (updateMap && m_pMap)
        m_pMap->MoveMarker(sample.latitude / 100, sample.longitude / 100);
    return 1;
}

int CRecordingManager::PlotDrivenPath(uint32_t timeMs) {
    if (m_dGpsRate == 0)
        m_dGpsRate = 1.0;
    const double position = static_cast<double>(timeMs) * m_dGpsRate / 1000.0;
    if (m_pMap) {
        m_pMap->RunScript(kDrivenPathDelete);
        const double count = static_cast<double>(m_nGpsDataSize / kGpsSampleSize);
        const size_t last = static_cast<size_t>(position < count ? position : count);
        for (size_t i = 0; i < last; ++i) {
            const GpsSample sample = SampleAt(m_gpsData, i);
            if (IsPlottable(sample))
                m_pMap->RunScript(DrivenPathPlotStatement(sample));
        }
    }
    return 1;
}

} // namespace kolvex
