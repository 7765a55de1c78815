// The folder branch of loading: the walk, the naming rule, the reading of
// the accepted files (on the calling thread or on a few readers) and the
// counter of visited files.
#include "recording_manager.h"

#include "folder_walk.h"
#include "overlapped_scan.h"
#include "scanned_recording.h"

namespace kolvex {

bool CRecordingManager::ScanFolder(const QString& folder) {
    m_nScanCount = 0;
    m_unreadableFolders.clear();
    const UnreadableFolderCallback unreadable = [this](const QString& path, int error) {
        m_unreadableFolders.push_back({path, error});
    };
    if (m_scanOptions.readers <= 0) {
        return WalkFolder(
            folder,
            [this](const QString& opened, const QString& relative, const QString& name,
                   bool isDirectory) { ScanFile(opened, relative, name, isDirectory); },
            unreadable);
    }
    // The counter and the list are touched only here, on the calling thread
    // (the window repaints the counter from it), in walk order.
    OverlappedScan scan(
        m_scanOptions.readers,
        [this](std::optional<RecordingEntry>&& entry) { CountVisitedFile(std::move(entry)); },
        m_scanOptions.beforeRead);
    const bool found = WalkFolder(
        folder,
        [&scan](const QString& opened, const QString& relative, const QString& name,
                bool isDirectory) {
            if (!isDirectory)
                scan.Visit(opened, relative, name);
        },
        unreadable);
    if (found)
        scan.Finish();
    return found;
}

void CRecordingManager::ScanFile(const QString& openedFolder, const QString& relativePath,
                                 const QString& name, bool isDirectory) {
    if (isDirectory)
        return;
    std::optional<RecordingEntry> entry;
    ScanCandidate candidate;
    if (IsScanCandidate(name, candidate)) {
        if (m_scanOptions.beforeRead)
            m_scanOptions.beforeRead(ScannedPath(openedFolder, relativePath, name));
        entry = ReadScannedRecording(openedFolder, relativePath, name, candidate);
    }
    CountVisitedFile(std::move(entry));
}

void CRecordingManager::CountVisitedFile(std::optional<RecordingEntry>&& entry) {
    if (entry)
        m_entries.push_back(std::move(*entry));
    if (m_pProgress)
        m_pProgress->ShowScanCount(m_nScanCount);
    ++m_nScanCount;
}

} // namespace kolvex
