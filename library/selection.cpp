// Which recording and group are current, and their highlight in the lists.
#include "recording_manager.h"

namespace kolvex {

int CRecordingManager::GroupOfCurrentFile() {
    m_nCurGroup = -1;
    if (m_nCurFile == -1 || m_groups.empty())
        return -1;
    for (const RecordingGroup& group : m_groups) {
        if (m_nCurFile < group.firstEntry + group.count) {
            m_nCurGroup = group.index;
            return m_nCurGroup;
        }
    }
    return -1;
}

void CRecordingManager::ClearHighlights() {
    // Every row, not only the last current one: exactly one row is marked
    // whatever happened to the current index meanwhile.
    if (m_pGroupList)
        m_pGroupList->SetDropHighlight(-1, false);
    if (m_pFileList)
        m_pFileList->SetDropHighlight(-1, false);
}

int CRecordingManager::SelectFile(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return 0;
    ClearHighlights();
    m_nCurFile = row;
    GroupOfCurrentFile();
    if (m_pGroupList) {
        m_pGroupList->SetDropHighlight(m_nCurGroup, true);
        m_pGroupList->EnsureVisible(m_nCurGroup);
    }
    if (m_pFileList) {
        m_pFileList->SetDropHighlight(m_nCurFile, true);
        m_pFileList->EnsureVisible(m_nCurFile);
    }
    return 1;
}

int CRecordingManager::SelectGroup(int group) {
    if (group < 0 || group >= static_cast<int>(m_groups.size()))
        return 0;
    ClearHighlights();
    m_nCurGroup = group;
    m_nCurFile = m_groups[static_cast<size_t>(group)].firstEntry;
    if (m_pGroupList)
        m_pGroupList->SetDropHighlight(m_nCurGroup, true);
    if (m_pFileList)
        m_pFileList->SetDropHighlight(m_nCurFile, true);
    return 1;
}

int CRecordingManager::GetCurrentPictureSize(int* width, int* height) {
    if (m_entries.empty())
        return 0;
    if (m_nCurFile >= static_cast<int>(m_entries.size()))
        m_nCurFile = static_cast<int>(m_entries.size()) - 1;
    if (m_nCurFile < 0)
        return 0;
    const VideoMetaInfo& meta = m_entries[static_cast<size_t>(m_nCurFile)].meta;
    if (width)
        *width = meta.width;
    if (height)
        *height = meta.height;
    return 1;
}

} // namespace kolvex
