#include "recording_copy.h"

#include "file_outcome.h"
#include "file_system.h"
#include "rear_file.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace kolvex {

int CopyProgress::Percent() const {
    if (bytesTotal > 0)
        return static_cast<int>(std::min<int64_t>(bytesDone * 100 / bytesTotal, 100));
    return filesTotal > 0 ? std::min(filesDone * 100 / filesTotal, 100) : 100;
}

int64_t CopyProgress::RemainingMs() const {
    // Half a second and a little data before the rate says anything.
    if (bytesDone <= 0 || elapsedMs < 500 || bytesTotal <= bytesDone)
        return bytesTotal > 0 && bytesDone >= bytesTotal ? 0 : -1;
    const double rate = static_cast<double>(bytesDone) / static_cast<double>(elapsedMs);
    return static_cast<int64_t>(static_cast<double>(bytesTotal - bytesDone) / rate);
}

RecordingCopy::RecordingCopy(const QString& destination, ListedFiles listed,
                             std::vector<Item> items)
    : m_destination(destination), m_chosen(IdentityThroughLinks(destination)),
      m_listed(std::move(listed)), m_items(std::move(items)) {
    m_report.operation = FileOperation::kCopy;
    m_report.destination = FolderForDisplay(destination);
    m_progress.recordingsTotal = static_cast<int>(m_items.size());
    for (const Item& item : m_items) {
        m_progress.filesTotal += 1 + item.rear.Count();
        m_progress.bytesTotal += item.bytes;
    }
    m_report.requested = m_progress.filesTotal;
}

int64_t RecordingCopy::ElapsedMs() const {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - m_started.tv_sec) * 1000 + (now.tv_nsec - m_started.tv_nsec) / 1000000;
}

FileOutcome RecordingCopy::CopyOne(const QString& source, const FileIdentity& identity,
                                   const QString& folder, const QString& name,
                                   ICopyCallbacks& callbacks) {
    const auto outcome = [](Outcome o, FileProblem p, int error = 0) {
        return FileOutcome{o, p, error, QString()};
    };
    const auto targetThere = [this] {
        return IsSameObject(m_chosen, IdentityThroughLinks(m_destination));
    };
    // A folder that was removed or unmounted must not be created again:
    // the copies would land on whatever now lies below its name.
    if (!targetThere())
        return outcome(Outcome::kNotAttempted, FileProblem::kTargetLost);
    const FileOutcome check = CheckListed(source, identity);
    if (!check.Done())
        return check;
    if (!PathExists(folder) && !CreateDirectoryPath(folder)) {
        const int error = errno;
        if (!IsDirectory(folder))
            return outcome(Outcome::kFailed, FileProblem::kSystem, error);
    }
    if (std::find(m_cleaned.begin(), m_cleaned.end(), folder) == m_cleaned.end()) {
        m_cleaned.push_back(folder);
        RemoveStaleCopyTemporaries(folder, m_startedWall);
    }
    const QString target = folder + u'/' + name;
    const FileIdentity existing = IdentityOf(target);
    if (existing.exists) {
        // Copying a file onto itself or onto another listed recording
        // would destroy a recording; nothing else is replaced unasked.
        if (m_listed.Contains(existing) || IsSameFile(source, target))
            return outcome(Outcome::kLoadedTarget, FileProblem::kTargetIsListed);
        if (!callbacks.ConfirmOverwrite(target))
            return outcome(Outcome::kDeclined, FileProblem::kDeclined);
        if (callbacks.CancelRequested())
            return outcome(Outcome::kNotAttempted, FileProblem::kCancelled);
    }
    const int64_t before = m_progress.bytesDone;
    FileProblem stoppedBy = FileProblem::kCancelled;
    const CopyResult result = CopyFileObserved(source, target, &identity, [&](int64_t written) {
        m_progress.bytesDone = before + written;
        m_progress.elapsedMs = ElapsedMs();
        callbacks.Progress(m_progress, false);
        if (callbacks.CancelRequested()) {
            stoppedBy = FileProblem::kCancelled;
            return false;
        }
        if (!targetThere()) {
            stoppedBy = FileProblem::kTargetLost;
            return false;
        }
        return true;
    });
    m_progress.bytesDone = before + std::max<int64_t>(identity.size, 0);
    switch (result.status) {
    case CopyStatus::kCopied:
        return FileOutcome::Success();
    case CopyStatus::kStopped:
        return outcome(Outcome::kNotAttempted, stoppedBy);
    case CopyStatus::kFailed:
        break;
    }
    // A folder lost in the middle of a file fails its last steps.
    if (!targetThere())
        return outcome(Outcome::kNotAttempted, FileProblem::kTargetLost);
    return outcome(Outcome::kFailed, FileProblem::kSystem, result.error);
}

void RecordingCopy::PassOver(const Item& item, FileProblem why) {
    Count(m_report, FileOutcome{Outcome::kNotAttempted, why, 0, QString()}, item.source,
          1 + item.rear.Count());
    m_progress.filesDone += 1 + item.rear.Count();
    m_progress.bytesDone += item.bytes;
}

void RecordingCopy::Run(ICopyCallbacks& callbacks) {
    ::clock_gettime(CLOCK_MONOTONIC, &m_started);
    ::clock_gettime(CLOCK_REALTIME, &m_startedWall);
    for (const Item& item : m_items) {
        if (m_report.targetLost || m_report.cancelled) {
            PassOver(item, m_report.cancelled ? FileProblem::kCancelled : FileProblem::kTargetLost);
            continue;
        }
        if (callbacks.CancelRequested()) {
            m_report.cancelled = true;
            PassOver(item, FileProblem::kCancelled);
            continue;
        }
        const int filesBefore = m_progress.filesDone;
        const int64_t bytesBefore = m_progress.bytesDone;
        const FileOutcome front =
            CopyOne(item.source, item.identity, item.folder, item.name, callbacks);
        ++m_progress.filesDone;
        FileOutcome rear = front;
        if (front.Done() && item.rear.Listed()) {
            // Beside the front copy, where the lookup's first rule finds it.
            rear = CopyOne(item.rear.path, item.rear.identity, item.folder,
                           RearNameBeside(item.name), callbacks);
        }
        if (!front.Done() && item.rear.Listed()) {
            Count(m_report, front, item.source, 2); // the rear file shares its fate
        } else {
            Count(m_report, front, item.source, 1);
            if (item.rear.Listed())
                Count(m_report, rear, item.rear.path, 1);
        }
        m_progress.filesDone = filesBefore + 1 + item.rear.Count();
        m_progress.bytesDone = bytesBefore + item.bytes;
        const bool stopped =
            front.outcome == Outcome::kNotAttempted || rear.outcome == Outcome::kNotAttempted;
        if (stopped) {
            if (front.problem == FileProblem::kCancelled || rear.problem == FileProblem::kCancelled)
                m_report.cancelled = true;
            else
                m_report.targetLost = true;
            continue;
        }
        ++m_progress.recordingsDone;
        m_progress.elapsedMs = ElapsedMs();
        callbacks.Progress(m_progress, true);
    }
}

} // namespace kolvex
