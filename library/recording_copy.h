// One Save as run: the files of the ticked groups, copied below a folder.
// It is planned on the user-interface thread (CRecordingManager::PrepareCopy)
// and then runs on any one thread, touching nothing but its own plan, so
// that a window can keep painting and answering while large recordings
// are copied, and can stop it inside a file.
#pragma once

#include "file_identity.h"
#include "file_operation_report.h"
#include "file_outcome.h"
#include "listed_files.h"

#include <QString>
#include <cstdint>
#include <ctime>
#include <vector>

namespace kolvex {

struct CopyProgress {
    int filesDone = 0; // copied or passed over
    int filesTotal = 0;
    int recordingsDone = 0; // a recording with its rear file
    int recordingsTotal = 0;
    int64_t bytesDone = 0; // of the files handled, and of the one being copied
    int64_t bytesTotal = 0;
    int64_t elapsedMs = 0;
    // 0 to 100 by the bytes, or by the files where there are no bytes.
    int Percent() const;
    // What the rate so far leaves for the rest; -1 before it can be told.
    int64_t RemainingMs() const;
};

// What the copy asks of whoever runs it; called on the copying thread.
class ICopyCallbacks {
public:
    virtual ~ICopyCallbacks() = default;
    // Whether the existing file `targetPath` may be replaced; false keeps it.
    virtual bool ConfirmOverwrite(const QString& targetPath) = 0;
    // After each piece of data written and after each recording
    // (`recordingDone`); not for recordings passed over once the target
    // folder was lost or the copy cancelled.
    virtual void Progress(const CopyProgress& progress, bool recordingDone) = 0;
    // Asked after each piece of data: true stops the copy there.
    virtual bool CancelRequested() = 0;
};

class RecordingCopy {
public:
    struct Item {
        QString source;
        FileIdentity identity;
        QString folder; // the target folder, without a final separator
        QString name;
        ListedFile rear; // copied beside the front file's copy
        int64_t bytes = 0;
    };

    RecordingCopy(const QString& destination, ListedFiles listed, std::vector<Item> items);

    // Copies every item in order, then leaves the outcome in Report().
    void Run(ICopyCallbacks& callbacks);
    const FileOperationReport& Report() const { return m_report; }
    int FileCount() const { return m_progress.filesTotal; }
    int64_t ByteCount() const { return m_progress.bytesTotal; }

private:
    FileOutcome CopyOne(const QString& source, const FileIdentity& identity, const QString& folder,
                        const QString& name, ICopyCallbacks& callbacks);
    void PassOver(const Item& item, FileProblem why);
    int64_t ElapsedMs() const;

    QString m_destination;
    FileIdentity m_chosen;
    ListedFiles m_listed;
    std::vector<Item> m_items;
    timespec m_started{};     // monotonic, for the rate
    timespec m_startedWall{}; // what older temporaries were written before
    std::vector<QString> m_cleaned;
    CopyProgress m_progress;
    FileOperationReport m_report;
};

} // namespace kolvex
