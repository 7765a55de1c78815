// Delete, unlock and copy the recordings of the ticked groups.
//
// A listed name is touched only while it still leads to the file that was
// loaded (a card swapped in the reader, or a name the camera reused, holds
// recordings the user never saw), and a recording's rear file goes with
// its front file: to the user they are one recording. Each file that is
// not handled is noted with the reason, for the window's message.
#include "recording_manager.h"

#include "file_outcome.h"
#include "file_system.h"
#include "listed_files.h"
#include "rear_file.h"
#include "recording_copy.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <utility>

namespace kolvex {

namespace {

QString PercentText(int percent) {
    return QString::asprintf("%d %c", percent, '%');
}

// The file's state once a failed step has been undone: a file that is no
// longer the listed one says so, otherwise the system's refusal counts.
FileOutcome RefusedOrGone(const QString& path, const FileIdentity& identity, int error) {
    const FileOutcome now = CheckListed(path, identity);
    return now.Done() ? FileOutcome::Refused(error) : now;
}

FileOutcome DeleteListed(const QString& path, const FileIdentity& identity) {
    const FileOutcome check = CheckListed(path, identity);
    if (!check.Done())
        return check;
    const bool wasReadOnly = IsOwnerReadOnly(path);
    ClearOwnerReadOnly(path, identity);
    if (RemoveListedFile(path, identity))
        return FileOutcome::Success();
    const int error = errno;
    // A file that stays keeps the protection it had.
    if (wasReadOnly)
        MakeOwnerReadOnly(path, identity);
    return RefusedOrGone(path, identity, error);
}

QString WithName(const QString& path, const QString& name) {
    return path.left(path.lastIndexOf(u'/') + 1) + name;
}

FileOutcome NameTaken(const QString& path) {
    return FileOutcome{Outcome::kFailed, FileProblem::kNameTaken, EEXIST,
                       path.mid(path.lastIndexOf(u'/') + 1)};
}

// The first of the new names of an event recording (and of its rear file)
// that is taken, or "" when they are free: a file that already has one is
// another recording and is never replaced, and whatever lies where the
// rear lookup looks for the new name would be shown as this recording's
// rear view.
QString TakenNewName(const QString& front, const QString& newName, const ListedFile& rear) {
    const QString newFront = WithName(front, newName);
    if (IdentityOf(newFront).exists)
        return newFront;
    if (!rear.Listed())
        return QString();
    const QString newRear = WithName(rear.path, RearNameBeside(newName));
    if (newRear == rear.path)
        return QString();
    if (IdentityOf(newRear).exists)
        return newRear;
    return FindRearFile(newFront);
}

// Renames an event recording and its rear file so that the rear lookup
// finds the renamed rear file for the renamed front file; neither is
// renamed when that cannot be done without replacing a file.
FileOutcome RenamePair(const QString& front, const QString& newName, const ListedFile& rear) {
    const QString newFront = WithName(front, newName);
    const auto refused = [](int error, const QString& to) {
        return error == EEXIST ? NameTaken(to) : FileOutcome::Refused(error);
    };
    const QString newRear =
        rear.Listed() ? WithName(rear.path, RearNameBeside(newName)) : QString();
    if (!rear.Listed() || newRear == rear.path)
        return RenameNoReplace(front, newFront) ? FileOutcome::Success() : refused(errno, newFront);
    if (!RenameNoReplace(rear.path, newRear))
        return refused(errno, newRear);
    if (RenameNoReplace(front, newFront))
        return FileOutcome::Success();
    const int error = errno;
    RenameNoReplace(newRear, rear.path);
    return refused(error, newFront);
}

// A file made writable by an unlock, to be made read-only again when the
// rest of the unlock fails.
struct ModeChange {
    QString path;
    FileIdentity identity;
    bool changed = false;
    void Undo() const {
        if (changed)
            MakeOwnerReadOnly(path, identity);
    }
};

// Makes the file writable; false (errno set) when that was refused.
bool MakeWritable(const QString& path, const FileIdentity& identity, ModeChange& change) {
    change = ModeChange{path, identity, IsOwnerReadOnly(path)};
    if (ClearOwnerReadOnly(path, identity))
        return true;
    change.changed = false;
    return false;
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

CRecordingManager::CheckedCount CRecordingManager::CountChecked() const {
    CheckedCount count;
    const ListedFiles listed(m_entries);
    for (size_t j = 0; j < m_groups.size(); ++j) {
        const RecordingGroup& group = m_groups[j];
        if (!m_pGroupList || !m_pGroupList->IsChecked(static_cast<int>(j)))
            continue;
        for (int k = 0; k < group.count; ++k) {
            const int e = group.firstEntry + k;
            ++count.recordings;
            count.files += 1 + (listed.IsOwnRear(m_entries[static_cast<size_t>(e)].rear) ? 1 : 0);
        }
    }
    return count;
}

int CRecordingManager::DeleteChecked() {
    m_report = FileOperationReport{};
    m_report.operation = FileOperation::kDelete;
    if (!MarkCheckedGroups())
        return 0;
    const ListedFiles listed(m_entries);
    int deleted = 0;
    for (size_t g = m_groups.size(); g-- > 0;) {
        const RecordingGroup& group = m_groups[g];
        if (!group.isChecked)
            continue;
        // Backwards, so that the indices still to be visited stay valid.
        for (int k = group.count - 1; k >= 0; --k) {
            const int e = group.firstEntry + k;
            const RecordingEntry& entry = m_entries[static_cast<size_t>(e)];
            const QString path = GetPath(e);
            const ListedFile rear = RearFileOf(path, entry, listed);
            m_report.requested += 1 + rear.Count();
            const FileOutcome front = DeleteListed(path, entry.file);
            if (!front.Done()) {
                Count(m_report, front, path, 1 + rear.Count());
                continue;
            }
            Count(m_report, front, path, 1);
            if (rear.Listed())
                Count(m_report, DeleteListed(rear.path, rear.identity), rear.path, 1);
            ++deleted;
            m_entries.erase(m_entries.begin() + e);
            m_rows.erase(m_rows.begin() + e);
        }
    }
    // Noted from the last to the first: the user reads them in list order.
    std::reverse(m_report.problems.begin(), m_report.problems.end());
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
    m_report = FileOperationReport{};
    m_report.operation = FileOperation::kUnlock;
    if (!MarkCheckedGroups())
        return 0;
    const ListedFiles listed(m_entries);
    for (RecordingGroup& group : m_groups) {
        if (!group.isChecked)
            continue;
        for (int k = 0; k < group.count; ++k) {
            const int e = group.firstEntry + k;
            RecordingEntry& entry = m_entries[static_cast<size_t>(e)];
            const QString path = GetPath(e);
            const ListedFile rear = RearFileOf(path, entry, listed);
            m_report.requested += 1 + rear.Count();
            const FileOutcome check = CheckListed(path, entry.file);
            if (!check.Done()) {
                Count(m_report, check, path, 1 + rear.Count());
                continue;
            }
            // A rear file that is no longer the listed one is left alone
            // and the front file unlocked without it.
            const FileOutcome rearCheck =
                rear.Listed() ? CheckListed(rear.path, rear.identity) : FileOutcome::Success();
            const ListedFile withRear = rearCheck.Done() ? rear : ListedFile{};
            const bool event = (entry.flags & kRecordingEvent) && entry.name.size() >= 4;
            QString newName = entry.name;
            if (event)
                newName[3] = u'_';
            // Both steps or neither: nothing is made writable for a rename
            // that cannot be done, and a failed rename takes the new
            // permissions back.
            FileOutcome front = FileOutcome::Success();
            ModeChange frontMode, rearMode;
            if (event) {
                const QString taken = TakenNewName(path, newName, withRear);
                if (!taken.isEmpty())
                    front = NameTaken(taken);
            }
            if (front.Done() && (entry.flags & kRecordingLocked) &&
                !MakeWritable(path, entry.file, frontMode))
                front = RefusedOrGone(path, entry.file, errno);
            if (front.Done() && withRear.Listed() &&
                !MakeWritable(withRear.path, withRear.identity, rearMode)) {
                front = RefusedOrGone(withRear.path, withRear.identity, errno);
                frontMode.Undo();
            }
            if (front.Done() && event) {
                front = RenamePair(path, newName, withRear);
                if (!front.Done()) {
                    frontMode.Undo();
                    rearMode.Undo();
                }
            }
            if (front.Done()) {
                entry.flags &= ~kRecordingLocked;
                if (event) {
                    entry.name = newName;
                    entry.flags &= ~kRecordingEvent;
                }
            }
            if (!front.Done() || !rear.Listed()) {
                Count(m_report, front, path, 1 + withRear.Count());
                if (rear.Listed() && !withRear.Listed())
                    Count(m_report, rearCheck, rear.path, 1);
            } else {
                Count(m_report, front, path, 1);
                Count(m_report, rearCheck, rear.path, 1);
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

std::unique_ptr<RecordingCopy> CRecordingManager::PrepareCopy(const QString& destination) {
    m_report = FileOperationReport{};
    m_report.operation = FileOperation::kCopy;
    m_report.destination = FolderForDisplay(destination);
    if (!MarkCheckedGroups())
        return nullptr;
    // The library's working folder is no folder the user chose, and an
    // empty path would put the copies below the file-system root.
    if (!destination.startsWith(u'/')) {
        m_report.targetRefused = true;
        return nullptr;
    }
    if (!PathExists(destination))
        CreateDirectoryPath(destination);
    if (!IsDirectory(destination)) {
        m_report.targetRefused = true;
        return nullptr;
    }
    const ListedFiles listed(m_entries);
    std::vector<RecordingCopy::Item> items;
    for (const RecordingGroup& group : m_groups) {
        if (!group.isChecked)
            continue;
        for (int k = 0; k < group.count; ++k) {
            const int e = group.firstEntry + k;
            const RecordingEntry& entry = m_entries[static_cast<size_t>(e)];
            const QString path = GetPath(e);
            RecordingCopy::Item item;
            item.source = path;
            item.identity = entry.file;
            item.folder = FolderForDisplay(destination + u'/' + entry.subdir);
            item.name = entry.name;
            item.rear = RearFileOf(path, entry, listed);
            item.bytes = std::max<int64_t>(entry.file.size, 0) +
                         (item.rear.Listed() ? std::max<int64_t>(item.rear.identity.size, 0) : 0);
            items.push_back(std::move(item));
        }
    }
    return std::make_unique<RecordingCopy>(destination, listed, std::move(items));
}

void CRecordingManager::FinishCopy(const RecordingCopy& copy) {
    m_report = copy.Report();
}

namespace {

// Save as on the calling thread: the window's question, and the status
// board after each recording.
class CopyOnThisThread : public ICopyCallbacks {
public:
    CopyOnThisThread(IMainWindowLink* window, std::function<void(int)> step)
        : m_window(window), m_step(std::move(step)) {}
    bool ConfirmOverwrite(const QString& targetPath) override {
        return m_window && m_window->ConfirmOverwrite(targetPath);
    }
    void Progress(const CopyProgress& progress, bool recordingDone) override {
        if (recordingDone && progress.recordingsTotal > 0)
            m_step(std::min(progress.recordingsDone * 100 / progress.recordingsTotal, 100));
    }
    bool CancelRequested() override { return false; }

private:
    IMainWindowLink* m_window;
    std::function<void(int)> m_step;
};

} // namespace

int CRecordingManager::SaveCheckedTo(const QString& destination) {
    std::unique_ptr<RecordingCopy> copy = PrepareCopy(destination);
    if (!copy)
        return m_report.targetRefused ? 1 : 0;
    ProgressStep(0);
    CopyOnThisThread callbacks(m_pMainWnd, [this](int percent) { ProgressStep(percent); });
    copy->Run(callbacks);
    FinishCopy(*copy);
    if (IStatusBoardView* board = m_pMainWnd ? m_pMainWnd->StatusBoard() : nullptr)
        board->SetVisible(false);
    return 1;
}

} // namespace kolvex
