// The platform's status of an open file, as a parser can report it to its
// caller. Callers use the read-only flag; the rest is there for display.
#pragma once

#include <cstdint>
#include <string>

namespace kolvex {

struct FileStatus {
    std::string fullName;     // the path the file was opened with
    uint64_t size = 0;        // bytes
    int64_t modifiedTime = 0; // seconds since 1970 UTC
    uint32_t mode = 0;        // st_mode
    // A recording is read-only (the camera's lock) when its owner may not
    // write it.
    bool readOnly = false;
};

} // namespace kolvex
