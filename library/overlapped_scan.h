// The reading half of a folder scan on a few threads of its own: the walk
// stays on the calling thread and hands every file it visits to Visit; the
// files the naming rule accepts are read by the readers, each with its own
// file handle, while the walk goes on; the results come back on the calling
// thread one per visited file, in walk order, exactly as a scan that reads
// each file when the walk meets it would give them. A card's storage
// answers several reads at once, so a cold card lists several times faster.
#pragma once

#include "recording_records.h"
#include "scanned_recording.h"

#include <QString>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kolvex {

class OverlappedScan {
public:
    // Called on the thread that walks, once per visited file and in walk
    // order, with the file's entry when it is a recording that parsed.
    using Delivery = std::function<void(std::optional<RecordingEntry>&& entry)>;
    // Called with a file's full path just before a reader reads it.
    using BeforeRead = std::function<void(const QString& path)>;

    // `readers` at least 1; the threads start as files arrive.
    OverlappedScan(int readers, Delivery deliver, BeforeRead beforeRead = {});
    // Stops the readers, dropping what was not delivered.
    ~OverlappedScan();
    OverlappedScan(const OverlappedScan&) = delete;
    OverlappedScan& operator=(const OverlappedScan&) = delete;

    // A file the walk met. Delivers what is ready at the front meanwhile, so
    // that the counter of visited files keeps moving on the calling thread.
    void Visit(const QString& openedFolder, const QString& relativePath, const QString& name);
    // Waits for the readers and delivers the rest. An exception a reader
    // met (out of memory) is raised here, on the calling thread.
    void Finish();

private:
    struct Job {
        QString openedFolder;
        QString relativePath;
        QString name;
        ScanCandidate candidate;
        bool done = false;
        std::optional<RecordingEntry> entry;
        std::exception_ptr error;
    };

    void StartReaderIfUseful();
    void ReaderLoop();
    void Read(Job& job) const;
    // Delivers the finished jobs at the front; waits for the front one while
    // more than `keepAtMost` are undelivered.
    void DeliverFinished(size_t keepAtMost);

    const size_t m_readers;
    const Delivery m_deliver;
    const BeforeRead m_beforeRead;

    std::mutex m_mutex;
    std::condition_variable m_workArrived;          // readers wait here
    std::condition_variable m_jobDone;              // the calling thread waits here
    std::deque<std::unique_ptr<Job>> m_undelivered; // walk order
    std::deque<Job*> m_queue;                       // accepted files not yet taken
    size_t m_idleReaders = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace kolvex
