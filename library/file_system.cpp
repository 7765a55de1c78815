#include "file_system.h"

#include "native_path.h"

#include <QByteArray>
#include <QDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kolvex {

namespace {

CopyWriteHook& WriteHook() {
    static CopyWriteHook hook;
    return hook;
}

QByteArray Native(const QString& path) {
    return NativePath(path);
}

bool WriteAll(int fd, const char* data, size_t size, const QString& target) {
    while (size > 0) {
        if (WriteHook() && !WriteHook()(target)) {
            errno = ENOSPC;
            return false;
        }
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

CopyStatus CopyContents(int from, int to, const QString& target, const CopyObserver& observer) {
    std::vector<char> buffer(1 << 20);
    int64_t written = 0;
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return CopyStatus::kFailed;
        if (n == 0)
            return CopyStatus::kCopied;
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(n), target))
            return CopyStatus::kFailed;
        written += n;
        if (observer && !observer(written))
            return CopyStatus::kStopped;
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

namespace {

// A handle on the name itself, not on what a link would lead to, so that
// the check and the change meet the same file even if the name is
// replaced in between.
bool SetOwnerWritable(const QString& path, const FileIdentity& expected, bool writable) {
    if (expected.isLink)
        return false;
    const int fd = ::open(Native(path).constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && IsUnchanged(expected, IdentityFromStat(st));
    if (ok && ((st.st_mode & S_IWUSR) != 0) != writable) {
        // fchmod refuses a path handle; its /proc name reaches the same file.
        const QByteArray handle = "/proc/self/fd/" + QByteArray::number(fd);
        const mode_t mode = writable ? ((st.st_mode & 07777) | S_IWUSR)
                                     : ((st.st_mode & 07777) & ~static_cast<mode_t>(S_IWUSR));
        ok = ::chmod(handle.constData(), mode) == 0;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

} // namespace

bool ClearOwnerReadOnly(const QString& path, const FileIdentity& expected) {
    return SetOwnerWritable(path, expected, true);
}

bool MakeOwnerReadOnly(const QString& path, const FileIdentity& expected) {
    return SetOwnerWritable(path, expected, false);
}

bool RemoveListedFile(const QString& path, const FileIdentity& expected) {
    // The system cannot delete a name only if it still leads to a given
    // file; the check right before keeps the window to a few instructions.
    if (!IsUnchanged(expected, IdentityOf(path)))
        return false;
    return ::unlink(Native(path).constData()) == 0;
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
    if (::lstat(nativeTo.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(nativeFrom.constData(), nativeTo.constData()) == 0;
}

bool IsSameFile(const QString& a, const QString& b) {
    struct stat sa, sb;
    if (::stat(Native(a).constData(), &sa) != 0 || ::stat(Native(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool CopyFileReplacing(const QString& source, const QString& target, const FileIdentity* expected) {
    return CopyFileObserved(source, target, expected, CopyObserver()).status == CopyStatus::kCopied;
}

CopyResult CopyFileObserved(const QString& source, const QString& target,
                            const FileIdentity* expected, const CopyObserver& observer) {
    const auto failed = [](int error) { return CopyResult{CopyStatus::kFailed, error}; };
    if (IsSameFile(source, target))
        return failed(EEXIST);
    if (expected && expected->isLink && !IsUnchanged(*expected, IdentityOf(source)))
        return failed(0);
    // Non-blocking, so that a source replaced by a pipe cannot hang us; the
    // check below then refuses it. A listed regular file is opened without
    // following a link, so that the file read is the one checked.
    const bool noFollow = expected && !expected->isLink;
    const int from = ::open(Native(source).constData(),
                            O_RDONLY | O_CLOEXEC | O_NONBLOCK | (noFollow ? O_NOFOLLOW : 0));
    if (from < 0)
        return failed(errno);
    struct stat st;
    if (::fstat(from, &st) != 0 || !S_ISREG(st.st_mode) ||
        (noFollow && !IsUnchanged(*expected, IdentityFromStat(st)))) {
        ::close(from);
        return failed(0);
    }
    // The folder as it is now: the temporary file is renamed or removed in
    // this very folder, even if its name is given to another meanwhile.
    const int folder =
        ::open(Native(FolderOf(target)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        const int error = errno;
        ::close(from);
        return failed(error);
    }
    // Hidden, so that a folder scan running meanwhile does not list it, and
    // named so that a later copy can tell it from the user's own files.
    QByteArray temp = Native(FolderOf(target) + u'/' + QLatin1String(kCopyTemporaryPrefix) +
                             NameOf(target) + QStringLiteral(".XXXXXX"));
    const int to = ::mkostemp(temp.data(), O_CLOEXEC);
    if (to < 0) {
        const int error = errno;
        ::close(from);
        ::close(folder);
        return failed(error);
    }
    const QByteArray tempName = temp.mid(temp.lastIndexOf('/') + 1);
    CopyResult result{CopyContents(from, to, target, observer), 0};
    if (result.status == CopyStatus::kFailed)
        result.error = errno;
    const auto keepFirstError = [&result](bool ok) {
        if (!ok && result.status == CopyStatus::kCopied)
            result = CopyResult{CopyStatus::kFailed, errno};
    };
    if (result.status == CopyStatus::kCopied) {
        keepFirstError(::fchmod(to, st.st_mode & 07777) == 0);
        keepFirstError(::fsync(to) == 0);
    }
    keepFirstError(::close(to) == 0);
    ::close(from);
    if (result.status == CopyStatus::kCopied)
        keepFirstError(::renameat(folder, tempName.constData(), folder,
                                  Native(NameOf(target)).constData()) == 0);
    if (result.status != CopyStatus::kCopied)
        ::unlinkat(folder, tempName.constData(), 0);
    ::close(folder);
    return result;
}

QString FolderForDisplay(const QString& folder) {
    QString single = WithSingleSeparators(folder);
    if (single.size() > 1 && single.endsWith(u'/'))
        single.chop(1);
    return single;
}

QString WithSingleSeparators(const QString& path) {
    QString single;
    single.reserve(path.size());
    for (const QChar c : path) {
        if (c == u'/' && single.endsWith(u'/'))
            continue;
        single += c;
    }
    return single;
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

int RemoveStaleCopyTemporaries(const QString& folder, const timespec& startedAt) {
    const int dir = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return 0;
    DIR* search = ::fdopendir(dir);
    if (!search) {
        ::close(dir);
        return 0;
    }
    const size_t prefixLength = sizeof(kCopyTemporaryPrefix) - 1;
    std::vector<QByteArray> stale;
    while (const dirent* entry = ::readdir(search)) {
        if (::strncmp(entry->d_name, kCopyTemporaryPrefix, prefixLength) != 0)
            continue;
        struct stat st;
        if (::fstatat(dir, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        const bool older =
            st.st_mtim.tv_sec < startedAt.tv_sec ||
            (st.st_mtim.tv_sec == startedAt.tv_sec && st.st_mtim.tv_nsec < startedAt.tv_nsec);
        if (older)
            stale.emplace_back(entry->d_name);
    }
    int removed = 0;
    for (const QByteArray& name : stale) {
        if (::unlinkat(dir, name.constData(), 0) == 0)
            ++removed;
    }
    ::closedir(search); // closes `dir` as well
    return removed;
}

void SetCopyWriteHook(CopyWriteHook hook) {
    WriteHook() = std::move(hook);
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
