// Delete, unlock and copy the recordings of the ticked groups.
#include "recording_manager.h"

#include "file_system.h"

#include <algorithm>

namespace kolvex {

namespace {

QString PercentText(int percent) {
    return QString::asprintf("%d %c", percent, '%');
}

} // namespace

int CRecordingManager::MarkCheckedGroups() {
    if (m_groups.empty())
        return 0;
    bool any = false;
    for (size_t j = 0; j < m_groups.size(); ++j) {
        const bool ticked = m_pGroupList && m_pGroupList->IsChecked(static_cast<int>(j));
        m_groups[j].isChecked = ticked ? 1 : 0;
        any = any || ticked;
    }
    return any ? 1 : 0;
}

int CRecordingManager::DeleteChecked() {
    if (!MarkCheckedGroups())
        return 0;
    int deleted = 0;
    for (size_t g = m_groups.size(); g-- > 0;) {
        const RecordingGroup& group = m_groups[g];
        if (!group.isChecked)
            continue;
        // Backwards, so that the indices still to be visited stay valid.
        for (int k = group.count - 1; k >= 0; --k) {
            const int e = group.firstEntry + k;
            const QString path = GetPath(e);
            ClearOwnerReadOnly(path);
            if (!RemoveFile(path))
                continue;
            ++deleted;
            m_entries.erase(m_entries.begin() + e);
            m_rows.erase(m_rows.begin() + e);
        }
    }
    if (deleted > 0) {
        m_groups.clear();
        m_rows.clear();
        if (m_pGroupList)
            m_pGroupList->DeleteAllItems();
        if (m_pFileList)
            m_pFileList->DeleteAllItems();
        BuildGroups();
    }
    return 1;
}

int CRecordingManager::UnlockChecked() {
    if (!MarkCheckedGroups())
        return 0;
    for (RecordingGroup& group : m_groups) {
        if (!group.isChecked)
            continue;
        for (int k = 0; k < group.count; ++k) {
            RecordingEntry& entry = m_entries[static_cast<size_t>(group.firstEntry + k)];
            const int e = group.firstEntry + k;
            if ((entry.flags & kRecordingLocked) && ClearOwnerReadOnly(GetPath(e)))
                entry.flags &= ~kRecordingLocked;
            if ((entry.flags & kRecordingEvent) && entry.name.size() >= 4) {
                QString newName = entry.name;
                newName[3] = u'_';
                const QString folder = entry.root.isEmpty() && entry.subdir.isEmpty()
                                           ? QString()
                                           : entry.root + u'/' + entry.subdir + u'/';
                // A sibling of the new name is never replaced: it is
                // another recording.
                if (RenameNoReplace(GetPath(e), folder + newName)) {
                    entry.name = newName;
                    entry.flags &= ~kRecordingEvent;
                }
            }
        }
        group.flags = 0;
    }
    if (m_pGroupList)
        m_pGroupList->DeleteAllItems();
    if (m_pFileList)
        m_pFileList->DeleteAllItems();
    FillLists();
    return 1;
}

void CRecordingManager::ProgressStep(int percent) {
    IStatusBoardView* board = m_pMainWnd ? m_pMainWnd->StatusBoard() : nullptr;
    if (!board)
        return;
    board->SetVisible(true);
    board->SetProgress(percent, PercentText(percent));
    board->RepaintNow();
}

int CRecordingManager::SaveCheckedTo(const QString& destination) {
    if (!MarkCheckedGroups())
        return 0;
    int total = 0;
    for (const RecordingGroup& group : m_groups) {
        if (group.isChecked)
            total += group.count;
    }
    ProgressStep(0);
    int accumulated = 0;
    for (const RecordingGroup& group : m_groups) {
        if (!group.isChecked)
            continue;
        for (int k = 0; k < group.count; ++k) {
            const int e = group.firstEntry + k;
            const RecordingEntry& entry = m_entries[static_cast<size_t>(e)];
            const QString targetFolder = destination + u'/' + entry.subdir;
            const QString target = targetFolder + u'/' + entry.name;
            if (!PathExists(targetFolder))
                CreateDirectoryPath(targetFolder);
            bool skip = false;
            if (PathExists(target)) {
                // Copying a file onto itself would only destroy it, and
                // nothing is replaced without someone to ask.
                skip = IsSameFile(GetPath(e), target) || !m_pMainWnd ||
                       !m_pMainWnd->ConfirmOverwrite(target);
            }
            if (!skip)
                CopyFileReplacing(GetPath(e), target);
            accumulated += 100;
            ProgressStep(std::min(accumulated / total, 100));
        }
    }
    if (IStatusBoardView* board = m_pMainWnd ? m_pMainWnd->StatusBoard() : nullptr)
        board->SetVisible(false);
    return 1;
}

} // namespace kolvex
