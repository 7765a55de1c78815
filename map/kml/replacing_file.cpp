#include "replacing_file.h"

#include "library/native_path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace kolvex {

namespace {

// Hidden, so that a scan of the folder never lists a half-written file.
constexpr char kTemporaryPrefix[] = ".kolvex-write-";

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return path.substr(0, slash + 1);
}

} // namespace

CReplacingFile::~CReplacingFile() {
    Abandon();
}

bool CReplacingFile::Fail(const char* what, int error) {
    if (m_error.empty())
        m_error = std::string(what) + ": " + std::strerror(error);
    return false;
}

bool CReplacingFile::Open(const QString& target) {
    Abandon();
    m_error.clear();
    const QByteArray native = NativePath(target);
    m_target.assign(native.constData(), static_cast<size_t>(native.size()));
    if (m_target.empty() || m_target.back() == '/')
        return Fail("cannot create the file", EISDIR);
    const std::string folder = FolderOf(m_target);
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        m_temporary = folder + kTemporaryPrefix + suffix;
        // O_EXCL refuses anything already there, a planted link included;
        // mode 0666 lets the umask decide, as for any new file.
        m_fd =
            ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (m_fd >= 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    m_temporary.clear();
    return Fail("cannot create the file", error);
}

bool CReplacingFile::Write(const char* data, size_t size) {
    if (m_fd < 0 || !m_error.empty())
        return false;
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail("cannot write the file", n < 0 ? errno : ENOSPC);
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool CReplacingFile::Commit() {
    if (m_fd < 0)
        return m_error.empty() ? Fail("cannot write the file", EBADF) : false;
    if (m_error.empty() && ::fsync(m_fd) != 0)
        Fail("cannot write the file", errno);
    if (::close(m_fd) != 0)
        Fail("cannot write the file", errno);
    m_fd = -1;
    if (m_error.empty() && ::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        Fail("cannot replace the file", errno);
    if (!m_error.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
        return false;
    }
    m_temporary.clear();
    return true;
}

void CReplacingFile::Abandon() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

} // namespace kolvex
