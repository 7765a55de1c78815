#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace kolvex::cli {

namespace {

int g_firstError = 0;

ssize_t WriteToDescriptor(void*, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(STDOUT_FILENO, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (g_firstError == 0)
                g_firstError = n < 0 ? errno : EIO;
            return done > 0 ? static_cast<ssize_t>(done) : -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

} // namespace

void CaptureStandardOutputErrors() {
    cookie_io_functions_t functions{};
    functions.write = WriteToDescriptor;
    std::FILE* stream = ::fopencookie(nullptr, "w", functions);
    if (!stream)
        return; // stdout stays as it is; its errors are still detected
    // A terminal sees each line at once, as with the usual stdout.
    std::setvbuf(stream, nullptr, ::isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, BUFSIZ);
    stdout = stream;
}

int FinishStandardOutput() {
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout))
        return 0;
    return g_firstError != 0 ? g_firstError : EIO;
}

} // namespace kolvex::cli
