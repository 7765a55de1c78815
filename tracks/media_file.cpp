#include "tracks/media_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex {

namespace {
// Reads of at least this size go straight into the caller's buffer.
constexpr size_t kDirectReadSize = 4096;
// Read-ahead starts here once reads run contiguously, and doubles up to the cap.
constexpr size_t kFirstReadAhead = 64;
constexpr size_t kMaxReadAhead = 64 * 1024;
// Contiguous small reads in a row before read-ahead starts: a box header
// followed by its first child's header is no scan and should cost only its
// own bytes.
constexpr unsigned kScanStreak = 3;
// A read that starts at most this far past the previous one's end continues
// a scan: the headers of small boxes one after another (a second's GPS
// record each) are read like a contiguous region.
constexpr uint64_t kScanGap = 1024;

// The buffers of files closed on this thread, for the next files it opens:
// a scan opens thousands of files one after another, and fresh buffers for
// each cost more than the reading into them (zeroing, and the heap given
// back to the system and taken again).
struct SpareBuffers {
    std::vector<uint8_t> kept;
    std::vector<uint8_t> window;
    ~SpareBuffers();
};
thread_local bool tSparesGone = false; // a file closed while the thread ends
thread_local SpareBuffers tSpares;
SpareBuffers::~SpareBuffers() {
    tSparesGone = true;
}

// Makes buffer hold at least n bytes (not preserving them), from the
// spare when that is large enough.
void Provide(std::vector<uint8_t>& buffer, std::vector<uint8_t>& spare, size_t n) {
    if (buffer.size() >= n)
        return;
    if (!tSparesGone && spare.size() >= n)
        buffer.swap(spare);
    else
        buffer.resize(n);
}

// Keeps the larger of buffer and spare as the spare; buffer ends empty.
void GiveBack(std::vector<uint8_t>& buffer, std::vector<uint8_t>& spare) {
    if (!tSparesGone && buffer.size() > spare.size())
        buffer.swap(spare);
    std::vector<uint8_t>().swap(buffer);
}
} // namespace

CMediaFile::~CMediaFile() {
    Close();
}

bool CMediaFile::Open(const std::string& path) {
    Close();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is then
    // refused below. Reads of regular files ignore the flag.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int saved = S_ISDIR(st.st_mode) ? EISDIR : S_ISREG(st.st_mode) ? errno : EINVAL;
        ::close(fd);
        errno = saved;
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_counters = {};
    m_windowSize = 0;
    m_windowReachesEnd = false;
    m_readAhead = 0;
    m_streak = 0;
    return true;
}

void CMediaFile::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_windowSize = 0;
    m_keptSize = 0;
    GiveBack(m_window, tSpares.window);
    GiveBack(m_kept, tSpares.kept);
}

bool CMediaFile::FillStatus(FileStatus& status) const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return false;
    status.fullName = m_path;
    status.size = static_cast<uint64_t>(st.st_size);
    status.modifiedTime = static_cast<int64_t>(st.st_mtime);
    status.mode = static_cast<uint32_t>(st.st_mode);
    status.readOnly = (st.st_mode & S_IWUSR) == 0;
    return true;
}

uint64_t CMediaFile::Length() const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        throw FileReadError("cannot read the file's length: " + std::string(std::strerror(errno)));
    return static_cast<uint64_t>(st.st_size);
}

size_t CMediaFile::ReadDirect(uint64_t offset, uint8_t* buffer, size_t n) {
    if (m_fd < 0)
        throw FileReadError("file is not open");
    size_t total = 0;
    while (total < n) {
        if (offset + total > static_cast<uint64_t>(INT64_MAX))
            break; // beyond any position a file can have
        ssize_t got = ::pread(m_fd, buffer + total, n - total, static_cast<off_t>(offset + total));
        ++m_counters.readCalls;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileReadError("read failed: " + std::string(std::strerror(errno)));
        }
        if (got == 0)
            break;
        total += static_cast<size_t>(got);
        m_counters.bytesRead += static_cast<uint64_t>(got);
    }
    return total;
}

size_t CMediaFile::Keep(uint64_t offset, size_t n) {
    m_keptSize = 0;
    Provide(m_kept, tSpares.kept, n);
    m_keptSize = ReadDirect(offset, m_kept.data(), n);
    m_keptOffset = offset;
    m_keptReachesEnd = m_keptSize < n;
    return m_keptSize;
}

size_t CMediaFile::ReadAt(uint64_t offset, void* buffer, size_t n) {
    auto* out = static_cast<uint8_t*>(buffer);
    if (n == 0)
        return 0;
    if (m_keptSize > 0 && offset >= m_keptOffset && offset - m_keptOffset < m_keptSize) {
        const size_t from = static_cast<size_t>(offset - m_keptOffset);
        if (n <= m_keptSize - from || m_keptReachesEnd) {
            const size_t count = std::min(n, m_keptSize - from);
            std::memcpy(out, m_kept.data() + from, count);
            return count;
        }
    }
    const uint64_t windowEnd = m_windowOffset + m_windowSize;
    if (m_windowSize > 0 && offset >= m_windowOffset && offset < windowEnd &&
        (offset + n <= windowEnd || m_windowReachesEnd)) {
        size_t count = static_cast<size_t>(std::min<uint64_t>(n, windowEnd - offset));
        std::memcpy(out, m_window.data() + (offset - m_windowOffset), count);
        return count;
    }
    if (m_windowReachesEnd && m_windowSize > 0 && offset >= windowEnd)
        return 0; // the window already showed where the file ends
    const bool contiguous =
        m_windowSize > 0 && offset >= windowEnd && offset - windowEnd <= kScanGap;
    if (n >= kDirectReadSize) {
        m_readAhead = 0;
        m_streak = 0;
        return ReadDirect(offset, out, n);
    }
    m_streak = contiguous ? m_streak + 1 : 0;
    m_readAhead =
        m_streak >= kScanStreak ? std::clamp(m_readAhead * 2, kFirstReadAhead, kMaxReadAhead) : 0;
    const size_t want = n + m_readAhead;
    Provide(m_window, tSpares.window, want);
    m_windowOffset = offset;
    m_windowSize = ReadDirect(offset, m_window.data(), want);
    m_windowReachesEnd = m_windowSize < want;
    size_t count = std::min(n, m_windowSize);
    std::memcpy(out, m_window.data(), count);
    return count;
}

bool ReadFileRange(const std::string& path, uint64_t offset, uint64_t size,
                   std::vector<uint8_t>& out) {
    out.clear();
    CMediaFile file;
    if (!file.Open(path))
        return false;
    try {
        const uint64_t length = file.Length();
        if (offset >= length || size == 0)
            return true;
        const uint64_t count = std::min(size, length - offset);
        out.resize(static_cast<size_t>(count));
        out.resize(file.ReadAt(offset, out.data(), out.size()));
    } catch (const FileReadError&) {
        out.clear();
        return false;
    }
    return true;
}

} // namespace kolvex
