#include "overlapped_scan.h"

#include "scanned_recording.h"

#include <system_error>
#include <utility>

namespace kolvex {

namespace {

// How far the walk may run ahead of the first file not yet read: enough
// that a slow file does not leave the other readers idle, few enough that
// a card of any size holds only this many names in memory.
constexpr size_t kMaxUndelivered = 1024;

} // namespace

OverlappedScan::OverlappedScan(int readers, Delivery deliver, BeforeRead beforeRead)
    : m_readers(static_cast<size_t>(readers < 1 ? 1 : readers)), m_deliver(std::move(deliver)),
      m_beforeRead(std::move(beforeRead)) {}

OverlappedScan::~OverlappedScan() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_workArrived.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void OverlappedScan::Visit(const QString& openedFolder, const QString& relativePath,
                           const QString& name) {
    auto job = std::make_unique<Job>();
    const bool accepted = IsScanCandidate(name, job->candidate);
    job->done = !accepted;
    if (accepted) {
        job->openedFolder = openedFolder;
        job->relativePath = relativePath;
        job->name = name;
    }
    Job* queued = job.get();
    bool readHere = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_undelivered.push_back(std::move(job));
        if (accepted) {
            m_queue.push_back(queued);
            StartReaderIfUseful();
            // Without a thread (the system refused one) the walk reads the
            // file itself: slower, but nothing is left out.
            if (m_threads.empty()) {
                m_queue.pop_back();
                readHere = true;
            }
        }
    }
    if (readHere) {
        Read(*queued);
        std::lock_guard<std::mutex> lock(m_mutex);
        queued->done = true;
    } else if (accepted) {
        m_workArrived.notify_one();
    }
    DeliverFinished(kMaxUndelivered);
}

void OverlappedScan::Finish() {
    DeliverFinished(0);
}

void OverlappedScan::StartReaderIfUseful() {
    if (m_idleReaders >= m_queue.size() || m_threads.size() >= m_readers)
        return;
    try {
        m_threads.emplace_back([this] { ReaderLoop(); });
    } catch (const std::system_error&) {
        // The readers already running go on with the queue.
    }
}

void OverlappedScan::ReaderLoop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        ++m_idleReaders;
        m_workArrived.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        --m_idleReaders;
        if (m_stopping)
            return;
        Job* job = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        Read(*job);
        lock.lock();
        job->done = true;
        // Only the calling thread waits for finished jobs.
        m_jobDone.notify_one();
    }
}

void OverlappedScan::Read(Job& job) const {
    try {
        if (m_beforeRead)
            m_beforeRead(ScannedPath(job.openedFolder, job.relativePath, job.name));
        job.entry =
            ReadScannedRecording(job.openedFolder, job.relativePath, job.name, job.candidate);
    } catch (...) {
        job.error = std::current_exception();
    }
}

void OverlappedScan::DeliverFinished(size_t keepAtMost) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_undelivered.empty()) {
        Job* front = m_undelivered.front().get();
        if (!front->done) {
            if (m_undelivered.size() <= keepAtMost)
                return;
            m_jobDone.wait(lock, [front] { return front->done; });
        }
        std::unique_ptr<Job> job = std::move(m_undelivered.front());
        m_undelivered.pop_front();
        // The delivery repaints the counter; the readers go on meanwhile.
        lock.unlock();
        if (job->error)
            std::rethrow_exception(job->error);
        m_deliver(std::move(job->entry));
        lock.lock();
    }
}

} // namespace kolvex
