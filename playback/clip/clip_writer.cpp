#include "clip_writer.h"

#include "clip_job.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex {

namespace {

std::string CheckRequest(const ClipRequest& request) {
    if (request.parts.empty())
        return "the range holds no recording";
    if (request.target.empty())
        return "no file name for the clip";
    for (const ClipPart& part : request.parts) {
        if (part.toMs <= part.fromMs)
            return "the range is empty";
        struct stat st {};
        if (::stat(part.frontPath.c_str(), &st) != 0)
            return part.frontPath + ": " + std::strerror(errno);
    }
    return {};
}

// A hidden name beside the target that no other file has.
std::string MakeTemporary(const std::string& target, std::string& error) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = folder + "." + name + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = target + ": " + std::strerror(errno);
        return {};
    }
    // mkstemp makes the file private; a clip is shared as other videos are.
    ::fchmod(fd, 0644);
    ::close(fd);
    return pattern;
}

bool SyncFile(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        error = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

ClipResult WriteClip(const ClipRequest& request, const ClipProgressCallback& progress,
                     const std::atomic<bool>* cancel) {
    // The libraries' own messages would go to standard error; every
    // failure reaches the caller through the result instead.
    av_log_set_level(AV_LOG_QUIET);
    ClipResult failed;
    if (std::string why = CheckRequest(request); !why.empty()) {
        failed.error = why;
        return failed;
    }
    const std::string temporary = MakeTemporary(request.target, failed.error);
    if (temporary.empty())
        return failed;
    CClipJob job(request, progress, cancel);
    ClipOutcome outcome = ClipOutcome::NeedsEncoding;
    if (!request.overlay && request.layout == ClipLayout::Front) {
        outcome = job.OpenOutput(temporary) ? CutClip(job) : ClipOutcome::Failed;
        if (outcome == ClipOutcome::NeedsEncoding) {
            job.CloseOutput();
            job.Result() = ClipResult{};
        }
    }
    if (outcome == ClipOutcome::NeedsEncoding)
        outcome = job.OpenOutput(temporary) ? EncodeClip(job) : ClipOutcome::Failed;
    ClipResult result = job.Result();
    job.CloseOutput();
    std::string error;
    if (outcome == ClipOutcome::Done && job.Cancelled())
        outcome = ClipOutcome::Cancelled;
    if (outcome == ClipOutcome::Done) {
        if (!SyncFile(temporary, error) ||
            ::rename(temporary.c_str(), request.target.c_str()) != 0) {
            if (error.empty())
                error = std::strerror(errno);
            outcome = ClipOutcome::Failed;
            error = request.target + ": " + error;
        }
    } else if (outcome == ClipOutcome::Cancelled) {
        error = "cancelled";
    } else {
        error = job.Error().empty() ? "the clip could not be written" : job.Error();
        // The system's reason for a full disk names the clip it concerns.
        if (error.rfind("cannot write the clip", 0) == 0)
            error = request.target + ": " + error;
    }
    if (outcome != ClipOutcome::Done) {
        ::unlink(temporary.c_str());
        result = ClipResult{};
        result.cancelled = outcome == ClipOutcome::Cancelled;
        result.error = error;
        return result;
    }
    result.written = true;
    if (progress)
        progress(ClipProgress{1.0, 0});
    return result;
}

} // namespace kolvex
