// Loading a folder tree or a single file, sorting and grouping.
#include "recording_manager.h"

#include "card_layout.h"
#include "file_system.h"
#include "native_path.h"
#include "scanned_recording.h"

#include "tracks/camera_clock.h"
#include "tracks/track_math.h"

#include <algorithm>
#include <memory>

namespace kolvex {

namespace {

// Two recordings belong to one group when the later one begins within this
// many seconds of the earlier one's end.
constexpr int64_t kGroupGapSec = 2;

} // namespace

int CRecordingManager::Load(const QString& folder, const QString& fileName) {
    Reset();
    if (m_pGSensor)
        m_pGSensor->Invalidate(true);
    if (fileName.isEmpty()) {
        if (!ScanFolder(folder))
            return 0;
    } else if (!LoadSingleFile(folder, fileName)) {
        return 0;
    }
    if (!m_entries.empty()) {
        ChainChapters(m_entries);
        if (m_bListByGpsTime) {
            const std::optional<int64_t> card = CardClockOffset();
            for (RecordingEntry& entry : m_entries)
                entry.meta.startTime = GpsCorrectedStartTime(entry.meta, card);
        }
        std::sort(m_entries.begin(), m_entries.end(),
                  [](const RecordingEntry& a, const RecordingEntry& b) {
                      return a.meta.startTime < b.meta.startTime;
                  });
        BuildGroups();
    }
    return 1;
}

int CRecordingManager::LoadSingleFile(const QString& folder, const QString& fileName) {
    RecordingEntry entry;
    entry.root = folder;
    entry.name = fileName;
    QString fullPath;
    if (!folder.isEmpty())
        fullPath = folder.endsWith(u'/') ? folder : folder + u'/';
    fullPath += fileName;
    if (!PathExists(fullPath))
        return 0;
    // Only a regular file is handed to a parser (opening a pipe would wait
    // for a writer); anything else loads as a file that does not parse.
    if (!IsRegularFile(fullPath))
        return 1;
    ScanCandidate candidate;
    IsScanCandidate(fileName, candidate);
    if (fileName.size() >= 4 && fileName[3] == u'G')
        entry.flags |= kRecordingEvent;
    entry.file = IdentityOf(fullPath);
    FileStatus status;
    std::unique_ptr<CKolvexVideoParser> parser = ParserForName(fileName);
    parser->SetResultRecord(&entry.meta);
    parser->SetFileStatus(&status);
    if (parser->Parse(NativePath(fullPath).toStdString()) == 0) {
        if (status.readOnly)
            entry.flags |= kRecordingLocked;
        // A rear file opened on its own is listed: the user chose it.
        if (FollowsOtherLayout(candidate, entry.meta))
            ApplyLayout(entry, candidate.layout, IsInEventFolder(folder, QString()));
        entry.rear = RearIdentityOf(fullPath, entry.file);
        m_entries.push_back(std::move(entry));
    }
    return 1;
}

std::optional<int64_t> CRecordingManager::ClockOffset(int entry) const {
    if (entry < 0 || entry >= static_cast<int>(m_entries.size()))
        return std::nullopt;
    return CameraClockOffset(m_entries[static_cast<size_t>(entry)].meta);
}

std::optional<int64_t> CRecordingManager::CardClockOffset() const {
    std::vector<int64_t> offsets;
    for (const RecordingEntry& entry : m_entries)
        if (const std::optional<int64_t> offset = CameraClockOffset(entry.meta))
            offsets.push_back(*offset);
    return kolvex::CardClockOffset(std::move(offsets));
}

void CRecordingManager::BuildGroups() {
    m_groups.clear();
    m_rows.clear();
    const size_t n = m_entries.size();
    if (n > 0)
        m_entries[0].startsGroup = 1;
    for (size_t i = 1; i < n; ++i) {
        const VideoMetaInfo& previous = m_entries[i - 1].meta;
        const int64_t end = previous.startTime + previous.durationSec;
        const int64_t gap = m_entries[i].meta.startTime - end;
        // A mark set by an earlier grouping stays: after a deletion the
        // remaining recordings keep the groups they were shown in.
        if (gap < -kGroupGapSec || gap > kGroupGapSec)
            m_entries[i].startsGroup = 1;
    }
    RecordingGroup running;
    int32_t counter = 0;
    for (size_t i = 0; i < n; ++i) {
        const RecordingEntry& entry = m_entries[i];
        if (entry.startsGroup) {
            if (i != 0)
                m_groups.push_back(running);
            running = RecordingGroup{};
            running.index = counter++;
            running.firstEntry = static_cast<int32_t>(i);
        }
        m_rows.push_back(RecordingRow{running.index, running.count, static_cast<int32_t>(i)});
        ++running.count;
        running.totalDurationMs += entry.meta.durationMs;
        running.totalBytes += static_cast<int64_t>(entry.meta.fileLength);
        running.flags |= static_cast<uint8_t>(entry.flags & 0xff);
    }
    if (n > 0)
        m_groups.push_back(running);
    FillLists();
}

void CRecordingManager::FillLists() {
    if (m_pGroupList) {
        for (const RecordingGroup& group : m_groups) {
            const VideoMetaInfo& first = m_entries[static_cast<size_t>(group.firstEntry)].meta;
            m_pGroupList->AddGroup(
                group.index, QString::fromStdString(ResolutionName(first.width, first.height)),
                group.totalDurationMs, group.totalBytes, group.flags, first.startTime);
        }
    }
    if (m_pFileList) {
        for (const RecordingRow& row : m_rows) {
            const RecordingEntry& entry = m_entries[static_cast<size_t>(row.entry)];
            m_pFileList->AddFile(row.group, row.indexInGroup, entry.root + entry.subdir, entry.name,
                                 entry.meta.durationMs, static_cast<int64_t>(entry.meta.fileLength),
                                 entry.flags & 0xff, entry.meta.startTime);
        }
    }
}

} // namespace kolvex
