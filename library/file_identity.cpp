#include "file_identity.h"

#include "native_path.h"

#include <sys/stat.h>

namespace kolvex {

FileIdentity IdentityFromStat(const struct stat& st) {
    FileIdentity id;
    id.exists = true;
    id.isLink = S_ISLNK(st.st_mode);
    id.device = static_cast<uint64_t>(st.st_dev);
    id.inode = static_cast<uint64_t>(st.st_ino);
    id.size = static_cast<int64_t>(st.st_size);
    id.modifiedSec = static_cast<int64_t>(st.st_mtim.tv_sec);
    id.modifiedNsec = static_cast<int64_t>(st.st_mtim.tv_nsec);
    return id;
}

FileIdentity IdentityOf(const QString& path) {
    struct stat st;
    if (path.isEmpty() || ::lstat(NativePath(path).constData(), &st) != 0)
        return FileIdentity{};
    return IdentityFromStat(st);
}

FileIdentity IdentityThroughLinks(const QString& path) {
    struct stat st;
    if (path.isEmpty() || ::stat(NativePath(path).constData(), &st) != 0)
        return FileIdentity{};
    return IdentityFromStat(st);
}

bool IsSameObject(const FileIdentity& a, const FileIdentity& b) {
    return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

bool IsUnchanged(const FileIdentity& remembered, const FileIdentity& now) {
    return IsSameObject(remembered, now) && remembered.isLink == now.isLink &&
           remembered.size == now.size && remembered.modifiedSec == now.modifiedSec &&
           remembered.modifiedNsec == now.modifiedNsec;
}

} // namespace kolvex
