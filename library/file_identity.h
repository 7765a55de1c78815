// What a file was when the library listed it. The file operations touch a
// name only while it still leads to that very file, so that a card swapped
// in the same reader, a name the camera reused or a file replaced by a link
// never loses a recording the user did not see.
#pragma once

#include <QString>
#include <cstdint>

struct stat;

namespace kolvex {

struct FileIdentity {
    bool exists = false;
    bool isLink = false; // the name itself is a symbolic link
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedSec = 0;
    int64_t modifiedNsec = 0;
};

FileIdentity IdentityFromStat(const struct stat& st);

// What the name is now, without following a final symbolic link.
FileIdentity IdentityOf(const QString& path);

// What the name leads to, through symbolic links: for a folder the user
// chose, which may well be reached through a link.
FileIdentity IdentityThroughLinks(const QString& path);

// The same file-system object (device and inode), whatever its content.
bool IsSameObject(const FileIdentity& a, const FileIdentity& b);

// The same object, still of the size and modification time remembered.
bool IsUnchanged(const FileIdentity& remembered, const FileIdentity& now);

} // namespace kolvex
