// Delete, unlock and copy the recordings of the ticked groups.
//
// A listed name is touched only while it still leads to the file that was
// loaded (a card swapped in the reader, or a name the camera reused, holds
// recordings the user never saw), and a recording's rear file goes with
// its front file: to the user they are one recording.
#include "recording_manager.h"

#include "file_system.h"
#include "rear_file.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <set>
#include <utility>

namespace kolvex {

namespace {

QString PercentText(int percent) {
    return QString::asprintf("%d %c", percent, '%');
}

using ObjectKey = std::pair<uint64_t, uint64_t>;

ObjectKey KeyOf(const FileIdentity& id) {
    return {id.device, id.inode};
}

// The files of every loaded recording. A copy never replaces one of them,
// and a rear file that is itself a listed recording, or that two listed
// front files share, belongs to no one front file and is left alone.
class ListedFiles {
public:
    explicit ListedFiles(const std::vector<RecordingEntry>& entries) {
        for (const RecordingEntry& e : entries) {
            if (e.file.exists)
                m_fronts.insert(KeyOf(e.file));
            if (e.rear.exists)
                ++m_rearUses[KeyOf(e.rear)];
        }
    }
    bool Contains(const FileIdentity& id) const {
        return id.exists && (m_fronts.count(KeyOf(id)) != 0 || m_rearUses.count(KeyOf(id)) != 0);
    }
    bool IsOwnRear(const FileIdentity& rear) const {
        if (!rear.exists || m_fronts.count(KeyOf(rear)) != 0)
            return false;
        const auto uses = m_rearUses.find(KeyOf(rear));
        return uses != m_rearUses.end() && uses->second == 1;
    }

private:
    std::set<ObjectKey> m_fronts;
    std::map<ObjectKey, int> m_rearUses;
};

struct ListedFile {
    QString path;          // "" when the lookup finds nothing now
    FileIdentity identity; // as loaded; not `exists` when there is no such file
    bool Listed() const { return identity.exists; }
    int Count() const { return Listed() ? 1 : 0; }
};

ListedFile RearFileOf(const QString& frontPath, const RecordingEntry& entry,
                      const ListedFiles& listed) {
    if (!listed.IsOwnRear(entry.rear))
        return ListedFile{};
    return ListedFile{FindRearFile(frontPath), entry.rear};
}

enum class Outcome { kDone, kChanged, kLoadedTarget, kDeclined, kFailed, kNotAttempted };

void Count(FileOperationReport& report, Outcome outcome, int files) {
    switch (outcome) {
    case Outcome::kDone:
        report.done += files;
        break;
    case Outcome::kChanged:
        report.changed += files;
        break;
    case Outcome::kLoadedTarget:
        report.loadedTarget += files;
        break;
    case Outcome::kDeclined:
        report.declined += files;
        break;
    case Outcome::kFailed:
        report.failed += files;
        break;
    case Outcome::kNotAttempted:
        report.notAttempted += files;
        break;
    }
}

// kDone when the name still leads to the listed file; a file that has
// vanished cannot be handled and counts as failed.
Outcome CheckListed(const QString& path, const FileIdentity& remembered) {
    const FileIdentity now = IdentityOf(path);
    if (!now.exists)
        return Outcome::kFailed;
    return IsUnchanged(remembered, now) ? Outcome::kDone : Outcome::kChanged;
}

Outcome DeleteListed(const QString& path, const FileIdentity& identity) {
    const Outcome check = CheckListed(path, identity);
    if (check != Outcome::kDone)
        return check;
    ClearOwnerReadOnly(path, identity);
    return RemoveListedFile(path, identity) ? Outcome::kDone : Outcome::kFailed;
}

QString WithName(const QString& path, const QString& name) {
    return path.left(path.lastIndexOf(u'/') + 1) + name;
}

// Renames an event recording and its rear file so that the rear lookup
// finds the renamed rear file for the renamed front file; neither is
// renamed when that cannot be done without replacing a file.
bool RenamePair(const QString& front, const QString& newName, const QString& rear) {
    const QString newFront = WithName(front, newName);
    const QString newRear = WithName(rear, RearNameBeside(newName));
    if (newRear == rear)
        return RenameNoReplace(front, newFront);
    if (IdentityOf(newFront).exists)
        return false;
    // Whatever lies where the lookup looks for the new name would be
    // shown as this recording's rear view.
    if (!FindRearFile(newFront).isEmpty())
        return false;
    if (!RenameNoReplace(rear, newRear))
        return false;
    if (RenameNoReplace(front, newFront))
        return true;
    RenameNoReplace(newRear, rear);
    return false;
}

// One Save as run: the chosen folder must stay the one chosen, and the
// files copied are the listed ones.
class CopyRun {
public:
    CopyRun(const QString& destination, const FileIdentity& chosen, const ListedFiles& listed,
            IMainWindowLink* window)
        : m_destination(destination), m_chosen(chosen), m_listed(listed), m_window(window) {
        ::clock_gettime(CLOCK_REALTIME, &m_started);
    }

    Outcome Copy(const QString& source, const FileIdentity& identity, const QString& folder,
                 const QString& name) {
        // A folder that was removed or unmounted must not be created again:
        // the copies would land on whatever now lies below its name.
        if (!IsSameObject(m_chosen, IdentityThroughLinks(m_destination)))
            return Outcome::kNotAttempted;
        const Outcome check = CheckListed(source, identity);
        if (check != Outcome::kDone)
            return check;
        if (!PathExists(folder))
            CreateDirectoryPath(folder);
        if (m_cleaned.insert(folder).second)
            RemoveStaleCopyTemporaries(folder, m_started);
        const QString target = folder + u'/' + name;
        const FileIdentity existing = IdentityOf(target);
        if (existing.exists) {
            // Copying a file onto itself or onto another listed recording
            // would destroy a recording; nothing else is replaced unasked.
            if (m_listed.Contains(existing) || IsSameFile(source, target))
                return Outcome::kLoadedTarget;
            if (!m_window || !m_window->ConfirmOverwrite(target))
                return Outcome::kDeclined;
        }
        return CopyFileReplacing(source, target, &identity) ? Outcome::kDone : Outcome::kFailed;
    }

private:
    QString m_destination;
    FileIdentity m_chosen;
    const ListedFiles& m_listed;
    IMainWindowLink* m_window;
    timespec m_started{};
    std::set<QString> m_cleaned;
};

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
    m_report = FileOperationReport{};
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
            const Outcome front = DeleteListed(path, entry.file);
            if (front != Outcome::kDone) {
                Count(m_report, front, 1 + rear.Count());
                continue;
            }
            Count(m_report, Outcome::kDone, 1);
            if (rear.Listed())
                Count(m_report, DeleteListed(rear.path, rear.identity), 1);
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
    m_report = FileOperationReport{};
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
            const Outcome check = CheckListed(path, entry.file);
            if (check != Outcome::kDone) {
                Count(m_report, check, 1 + rear.Count());
                continue;
            }
            Outcome front = Outcome::kDone;
            if (entry.flags & kRecordingLocked) {
                if (ClearOwnerReadOnly(path, entry.file))
                    entry.flags &= ~kRecordingLocked;
                else
                    front = Outcome::kFailed;
            }
            Outcome rearOutcome =
                rear.Listed() ? CheckListed(rear.path, rear.identity) : Outcome::kDone;
            const bool withRear = rear.Listed() && rearOutcome == Outcome::kDone;
            if (withRear && !ClearOwnerReadOnly(rear.path, rear.identity))
                rearOutcome = Outcome::kFailed;
            if ((entry.flags & kRecordingEvent) && entry.name.size() >= 4) {
                QString newName = entry.name;
                newName[3] = u'_';
                // A file that already has the new name is another recording
                // and is never replaced; the rear file is renamed with its
                // front file or not at all.
                if (withRear ? RenamePair(path, newName, rear.path)
                             : RenameNoReplace(path, WithName(path, newName))) {
                    entry.name = newName;
                    entry.flags &= ~kRecordingEvent;
                } else {
                    front = Outcome::kFailed;
                    if (withRear)
                        rearOutcome = Outcome::kFailed;
                }
            }
            Count(m_report, front, 1);
            if (rear.Listed())
                Count(m_report, rearOutcome, 1);
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
    m_report = FileOperationReport{};
    if (!MarkCheckedGroups())
        return 0;
    // The library's working folder is no folder the user chose, and an
    // empty path would put the copies below the file-system root.
    if (!destination.startsWith(u'/')) {
        m_report.targetRefused = true;
        return 1;
    }
    if (!PathExists(destination))
        CreateDirectoryPath(destination);
    if (!IsDirectory(destination)) {
        m_report.targetRefused = true;
        return 1;
    }
    const ListedFiles listed(m_entries);
    CopyRun run(destination, IdentityThroughLinks(destination), listed, m_pMainWnd);
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
            const QString path = GetPath(e);
            const ListedFile rear = RearFileOf(path, entry, listed);
            if (m_report.targetLost) {
                Count(m_report, Outcome::kNotAttempted, 1 + rear.Count());
                continue;
            }
            const QString targetFolder = destination + u'/' + entry.subdir;
            const Outcome front = run.Copy(path, entry.file, targetFolder, entry.name);
            Outcome rearOutcome = front;
            if (front == Outcome::kDone && rear.Listed()) {
                // Beside the front copy, where the lookup's first rule finds it.
                rearOutcome =
                    run.Copy(rear.path, rear.identity, targetFolder, RearNameBeside(entry.name));
            }
            Count(m_report, front, 1);
            if (rear.Listed())
                Count(m_report, rearOutcome, 1);
            if (front == Outcome::kNotAttempted || rearOutcome == Outcome::kNotAttempted) {
                m_report.targetLost = true;
                continue;
            }
            accumulated += 100;
            ProgressStep(std::min(accumulated / total, 100));
        }
    }
    if (IStatusBoardView* board = m_pMainWnd ? m_pMainWnd->StatusBoard() : nullptr)
        board->SetVisible(false);
    return 1;
}

} // namespace kolvex
