// The parsers' view of a file: open, length, positioned reads, close, over
// POSIX open/pread/fstat. Small reads that follow each other are served
// from a read-ahead window that grows while the reads stay contiguous, so
// that scanning a region a few bytes at a time costs few system calls while
// isolated header reads cost exactly their own bytes. A region that the
// parsers walk again and again (the movie box) can be kept in memory whole.
#pragma once

#include "tracks/file_status.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kolvex {

// Raised when the operating system reports a read error (not the end of
// the file, which only shortens a read).
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CMediaFile {
public:
    struct Counters {
        uint64_t readCalls = 0; // pread calls made
        uint64_t bytesRead = 0; // bytes those calls returned
    };

    CMediaFile() = default;
    ~CMediaFile();
    CMediaFile(const CMediaFile&) = delete;
    CMediaFile& operator=(const CMediaFile&) = delete;

    // Opens for reading; false (errno set) when the file cannot be opened
    // or is not a regular file.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    bool FillStatus(FileStatus& status) const;
    uint64_t Length() const;

    // Reads up to n bytes at offset into buffer and returns how many were
    // read: fewer only at the end of the file. Throws FileReadError.
    size_t ReadAt(uint64_t offset, void* buffer, size_t n);

    // Reads [offset, offset + n) with one system call and serves every later
    // read that lies inside it from memory, until the file is closed or
    // another region is kept. Returns the bytes kept (fewer at the end of
    // the file). Throws FileReadError.
    size_t Keep(uint64_t offset, size_t n);

    const Counters& IoCounters() const { return m_counters; }

private:
    size_t ReadDirect(uint64_t offset, uint8_t* buffer, size_t n);

    int m_fd = -1;
    std::string m_path;
    Counters m_counters;
    std::vector<uint8_t> m_window;
    uint64_t m_windowOffset = 0;
    size_t m_windowSize = 0;
    bool m_windowReachesEnd = false;
    size_t m_readAhead = 0;
    unsigned m_streak = 0;       // contiguous small reads in a row
    std::vector<uint8_t> m_kept; // at least m_keptSize bytes
    size_t m_keptSize = 0;
    uint64_t m_keptOffset = 0;
    bool m_keptReachesEnd = false;
};

// Reads size bytes at offset of the file at path into out, bounded by the
// file's length (a block that claims more than the file holds is cut).
// False when the file cannot be opened or read.
bool ReadFileRange(const std::string& path, uint64_t offset, uint64_t size,
                   std::vector<uint8_t>& out);

} // namespace kolvex
