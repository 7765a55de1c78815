// CRecordingManager: the opened recordings, their groups and list rows, the
// current recording's samples and the operations on whole groups. It lives
// in the main window and is used only from the user-interface thread.
#pragma once

#include "file_operation_report.h"
#include "instrument_views.h"
#include "list_views.h"
#include "main_window_link.h"
#include "recording_copy.h"
#include "recording_records.h"
#include "scan_readers.h"

#include "tracks/recording_analysis.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kolvex {

// How a folder load reads the files whose names it accepts.
struct ScanOptions {
    // Threads that read the accepted files while the walk goes on (the walk,
    // the counter and the list stay on the calling thread); 0 reads each
    // file on the calling thread when the walk meets it. Both give the same
    // list.
    int readers = kDefaultScanReaders;
    // Called with a file's full path just before it is read, on the thread
    // that reads it (tests change the card here).
    std::function<void(const QString& path)> beforeRead;
};

class CRecordingManager {
public:
    CRecordingManager();
    CRecordingManager(const CRecordingManager&) = delete;
    CRecordingManager& operator=(const CRecordingManager&) = delete;

    // Every pointer may be null; none is owned.
    int Init(IGroupListView* groupList, IFileListView* fileList, IGSensorGraphView* gsensor,
             IMapView* map, IMainWindowLink* mainWnd);
    void SetProgressView(IScanCounterView* progress) { m_pProgress = progress; }
    void SetScanOptions(ScanOptions options) { m_scanOptions = std::move(options); }
    // Whether the next loads list, sort and group recordings by GPS time:
    // the camera's time corrected by its clock's offset where a recording
    // carries GPS time (camera_clock.h); off: the start times as read.
    void SetListByGpsTime(bool on) { m_bListByGpsTime = on; }
    bool ListByGpsTime() const { return m_bListByGpsTime; }
    // How far the camera's clock ran ahead of GPS time (UTC), in seconds:
    // of one recording, and the median over everything loaded; nothing
    // where no recording carries both times.
    std::optional<int64_t> ClockOffset(int entry) const;
    std::optional<int64_t> CardClockOffset() const;
    int Reset();

    // Loading. An empty file name loads the whole tree below `folder`.
    int Load(const QString& folder, const QString& fileName);
    int LoadSingleFile(const QString& folder, const QString& fileName);
    void BuildGroups();
    void FillLists();
    // One entry of the folder walk: offers a file to the library and reads
    // it at once when its name is accepted.
    void ScanFile(const QString& openedFolder, const QString& relativePath, const QString& name,
                  bool isDirectory);
    int ScanCount() const { return m_nScanCount; }
    // Folders of the last folder load that could not be read (their
    // recordings are missing from the list), with the system's reason.
    struct UnreadableFolder {
        QString path;
        int error = 0;
    };
    const std::vector<UnreadableFolder>& UnreadableFolders() const { return m_unreadableFolders; }

    // The current recording.
    QString GetPath(int entry) const;
    QString GetCurrentPath() const { return GetPath(m_nCurFile); }
    int GroupOfCurrentFile();
    int SelectFile(int row);
    int SelectGroup(int group);
    int LoadRecordingData(int entry);
    // The recording stays loaded but shows no position: the speed and the
    // compass say "no data", the car leaves the map and the driven path
    // starts again with the next position (after a stop).
    void ClearPosition();
    // Forgets the loaded recording (its file went away): no recording is
    // current, nothing of it stays on the graph or the map, and the
    // instruments say "no data".
    void UnloadRecordingData();
    // The row of the recording whose data is loaded, found by its path
    // after the list changed; -1 when it is no longer listed.
    int LoadedRecordingRow() const;
    int UpdatePosition(int64_t timeMs, bool updateGraph, bool updateMap);
    int PlotDrivenPath(uint32_t timeMs);
    // The route coloured by speed, sent with the path of every recording
    // while switched on (off by default: the path alone).
    void SetSpeedRoute(bool on) { m_bSpeedRoute = on; }
    bool SpeedRoute() const { return m_bSpeedRoute; }
    void PlotSpeedRoute();
    // Everything the map shows of the current recording again, up to
    // `timeMs`: for a page that was loaded afresh.
    void ReplotMap(uint32_t timeMs);
    // A mark on the map for each event at the current recording's fix of
    // that moment (events without a fix get none), labelled by `labelOf`;
    // the previous marks go. An empty list only clears.
    void PlotEventMarks(const std::vector<DrivingEvent>& events,
                        const std::function<QString(const DrivingEvent&)>& labelOf);
    int GetCurrentPictureSize(int* width, int* height);

    // Operations on the ticked groups. Each touches a file only while its
    // name still leads to the file that was loaded, and treats a recording's
    // rear file (FindRearFile) as part of it. What happened to the files is
    // in LastOperationReport() afterwards.
    int MarkCheckedGroups();
    // The recordings of the ticked groups and their files (a recording's
    // own rear file counted), for the question before a delete.
    struct CheckedCount {
        int recordings = 0;
        int files = 0;
    };
    CheckedCount CountChecked() const;
    int DeleteChecked();
    int UnlockChecked();
    // `destination` must be an absolute path; it is created when missing.
    // Copies on the calling thread, asking the main window before an
    // existing file is replaced and showing the progress on its board.
    int SaveCheckedTo(const QString& destination);
    // The same copy in two steps, for a window that runs it on a thread of
    // its own: the plan (null when nothing is ticked or the target is
    // refused; LastOperationReport() says which), then, once it has run,
    // its outcome as the last operation's report. The plan holds copies of
    // what it needs: the library may change meanwhile.
    std::unique_ptr<RecordingCopy> PrepareCopy(const QString& destination);
    void FinishCopy(const RecordingCopy& copy);
    const FileOperationReport& LastOperationReport() const { return m_report; }

    // Export of the current recording's track into folder (ending with
    // '/'); path receives the file's path. On failure, error (when given)
    // receives the reason in one line.
    bool ExportKml(const QString& folder, QString& path, std::string* error = nullptr);
    // GPX of the given recordings (one segment each, in the order given) or
    // of one group; false when an index is invalid or a file is unreadable.
    bool ExportGpx(const std::vector<int>& entries, const QString& trackName,
                   std::string& document) const;
    bool ExportGroupGpx(int group, std::string& document) const;
    // The current recording's track as GPX into folder (ending with '/'),
    // written whole or not at all; path receives the file's path.
    bool ExportCurrentGpx(const QString& folder, QString& path, std::string* error = nullptr);

    // Driving events and trip figures. AnalyseEntry reads the recording's
    // blocks from its file; false for an invalid index or a file that cannot
    // be read. AnalyseCurrent uses the blocks LoadRecordingData read, with
    // no file access (for the window's marks and panel after a selection);
    // false without a current recording. AnalyseGroup adds up the group's
    // recordings; false for an invalid index or when a member could not be
    // read (the figures then hold the members that could).
    bool AnalyseEntry(int entry, const EventThresholds& thresholds, RecordingAnalysis& out) const;
    bool AnalyseCurrent(const EventThresholds& thresholds, RecordingAnalysis& out) const;
    bool AnalyseGroup(int group, const EventThresholds& thresholds, TripFigures& out) const;

    const std::vector<RecordingEntry>& Entries() const { return m_entries; }
    const std::vector<RecordingGroup>& Groups() const { return m_groups; }
    const std::vector<RecordingRow>& Rows() const { return m_rows; }
    int CurrentFile() const { return m_nCurFile; }
    int CurrentGroup() const { return m_nCurGroup; }
    double GpsRate() const { return m_dGpsRate; }
    // The current recording's blocks as read from its file.
    const uint8_t* GpsData() const { return m_gpsData.data(); }
    uint32_t GpsDataSize() const { return m_nGpsDataSize; }
    const uint8_t* GSensorData() const { return m_gsensorData.data(); }
    uint32_t GSensorDataSize() const { return m_nGSensorDataSize; }

private:
    // Empties the loaded recording's raw blocks and gives their memory back.
    void ReleaseSampleBuffers();
    // The folder branch of Load; false when the folder does not exist.
    bool ScanFolder(const QString& folder);
    // A visited file is done: lists its entry when it has one and counts it.
    void CountVisitedFile(std::optional<RecordingEntry>&& entry);
    void ClearHighlights();
    void ClearGpsInstruments();
    void ProgressStep(int percent);
    bool CurrentGpsBlock(std::vector<uint8_t>& block) const;
    // The current recording for an export: a current index past the end
    // becomes the last recording; false when there is none.
    bool HoldExportEntry();

    std::vector<RecordingEntry> m_entries;
    std::vector<RecordingGroup> m_groups;
    std::vector<RecordingRow> m_rows;
    IGroupListView* m_pGroupList = nullptr;
    IFileListView* m_pFileList = nullptr;
    IGSensorGraphView* m_pGSensor = nullptr;
    IMapView* m_pMap = nullptr;
    IScanCounterView* m_pProgress = nullptr;
    IMainWindowLink* m_pMainWnd = nullptr;
    std::vector<uint8_t> m_gpsData;
    uint32_t m_nGpsDataSize = 0;
    std::vector<uint8_t> m_gsensorData;
    uint32_t m_nGSensorDataSize = 0;
    int32_t m_nScanCount = 0;
    ScanOptions m_scanOptions;
    std::vector<UnreadableFolder> m_unreadableFolders;
    double m_dGpsRate = 1.0;
    int32_t m_nCurFile = -1;
    int32_t m_nCurGroup = 0;
    // The file whose blocks are in the buffers, so that an export after the
    // list changed does not name one recording and hold another's track.
    QString m_strDataPath;
    // The GPS sample the instruments show, so that reports within the same
    // sample redraw nothing.
    int64_t m_nLastShownSample = 0;
    FileOperationReport m_report;
    bool m_bSpeedRoute = false;
    bool m_bListByGpsTime = false;
    bool m_bSpeedRouteDrawn = false; // sent to the page since its last clear
};

} // namespace kolvex
