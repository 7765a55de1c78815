// Which file a path names, by device and inode: the only sound way to tell
// whether an output would land on one of a command's own input files (a
// name compares equal through neither links, "..", nor a second mount).
#pragma once

#include <string>
#include <sys/stat.h>
#include <vector>

namespace kolvex::cli {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file at path after links; false when there is none.
inline bool IdentityOf(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    identity = {st.st_dev, st.st_ino};
    return true;
}

// The identity of what sits at path itself (a link is not followed): what
// writing a new file at path replaces.
inline bool IdentityAt(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return false;
    identity = {st.st_dev, st.st_ino};
    return true;
}

inline bool Contains(const std::vector<FileIdentity>& files, const FileIdentity& identity) {
    for (const FileIdentity& f : files) {
        if (f == identity)
            return true;
    }
    return false;
}

} // namespace kolvex::cli
