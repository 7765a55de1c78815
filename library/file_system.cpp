#include "file_system.h"

#include "native_path.h"

#include <QByteArray>
#include <QDir>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kolvex {

namespace {

QByteArray Native(const QString& path) {
    return NativePath(path);
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool CopyContents(int from, int to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(n)))
            return false;
    }
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString NameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

bool PathExists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(Native(path).constData(), &st) == 0;
}

bool IsDirectory(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(Native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(Native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsOwnerReadOnly(const QString& path) {
    struct stat st;
    if (::stat(Native(path).constData(), &st) != 0)
        return false;
    return (st.st_mode & S_IWUSR) == 0;
}

bool ClearOwnerReadOnly(const QString& path) {
    const QByteArray native = Native(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return false;
    if (st.st_mode & S_IWUSR)
        return true;
    return ::chmod(native.constData(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool RenameNoReplace(const QString& from, const QString& to) {
    const QByteArray nativeFrom = Native(from);
    const QByteArray nativeTo = Native(to);
    if (::renameat2(AT_FDCWD, nativeFrom.constData(), AT_FDCWD, nativeTo.constData(),
                    RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    // The file system cannot refuse by itself; check first (a race with
    // another program is the lesser evil than never unlocking on such cards).
    struct stat st;
    if (::lstat(nativeTo.constData(), &st) == 0)
        return false;
    return ::rename(nativeFrom.constData(), nativeTo.constData()) == 0;
}

bool IsSameFile(const QString& a, const QString& b) {
    struct stat sa, sb;
    if (::stat(Native(a).constData(), &sa) != 0 || ::stat(Native(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool CopyFileReplacing(const QString& source, const QString& target) {
    if (IsSameFile(source, target))
        return false;
    // Non-blocking, so that a source replaced by a pipe cannot hang us; the
    // check below then refuses it.
    const int from = ::open(Native(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (from < 0)
        return false;
    struct stat st;
    if (::fstat(from, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(from);
        return false;
    }
    // Hidden, so that a folder scan running meanwhile does not list it.
    QByteArray temp = Native(FolderOf(target) + QStringLiteral("/.") + NameOf(target) +
                             QStringLiteral(".XXXXXX"));
    const int to = ::mkostemp(temp.data(), O_CLOEXEC);
    if (to < 0) {
        ::close(from);
        return false;
    }
    bool ok = CopyContents(from, to);
    ok = ::fchmod(to, st.st_mode & 07777) == 0 && ok;
    ok = ::fsync(to) == 0 && ok;
    ok = ::close(to) == 0 && ok;
    ::close(from);
    if (ok)
        ok = ::rename(temp.constData(), Native(target).constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

bool RemoveFile(const QString& path) {
    return ::unlink(Native(path).constData()) == 0;
}

QString AbsolutePath(const QString& path) {
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path);
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return QDir::cleanPath(path);
        buffer.resize(buffer.size() * 2);
    }
    return QDir::cleanPath(PathFromNative(buffer.data()) + u'/' + path);
}

bool CreateDirectoryPath(const QString& path) {
    QString full = path;
    if (!full.endsWith(u'/'))
        full += u'/';
    bool lastCreated = false;
    for (qsizetype i = 0; i < full.size(); ++i) {
        if (full[i] != u'/')
            continue;
        // "" before a leading '/' simply fails, as an existing prefix does.
        lastCreated = ::mkdir(Native(full.left(i)).constData(), 0777) == 0;
    }
    return lastCreated;
}

} // namespace kolvex
