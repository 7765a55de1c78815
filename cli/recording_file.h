// Parsing one recording named on the command line, with the exit codes and
// messages the commands share.
#pragma once

#include "command.h"
#include "tracks/parse_recording.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace kolvex::cli {

// kOk with meta filled; kNotFound when there is no such file; kFailure when
// it cannot be used. Failures print one line on stderr.
inline int ParseForCommand(const char* command, const std::string& path, VideoMetaInfo& meta) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        std::fprintf(stderr, "kolvex-cli %s: %s: %s\n", command, path.c_str(),
                     std::strerror(error));
        return error == ENOENT || error == ENOTDIR ? kNotFound : kFailure;
    }
    if (S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "kolvex-cli %s: %s: is a folder, not a recording\n", command,
                     path.c_str());
        return kFailure;
    }
    std::string reason;
    if (!ParseRecording(path, meta, nullptr, &reason)) {
        std::fprintf(stderr, "kolvex-cli %s: %s: %s\n", command, path.c_str(), reason.c_str());
        return kFailure;
    }
    return kOk;
}

} // namespace kolvex::cli
