// A depth-first walk of a folder tree without recursion, as a card holds
// it: hidden entries (names starting with '.') are skipped, symbolic links
// to folders are not followed, pipes, sockets and devices are not reported,
// and at most kMaxFolderDepth levels below the opened folder are entered.
#pragma once

#include <QString>
#include <functional>

namespace kolvex {

inline constexpr int kMaxFolderDepth = 40;

// Called for every entry in the order the directory returns them; a folder
// is reported before its contents. `openedFolder` ends with '/',
// `relativePath` is "" at the top and otherwise the folders entered below
// it, each followed by '/'.
using FolderWalkCallback =
    std::function<void(const QString& openedFolder, const QString& relativePath,
                       const QString& name, bool isDirectory)>;

// Called for a folder of the tree (the opened one included) that cannot be
// read, with its path and the system's error number.
using UnreadableFolderCallback = std::function<void(const QString& folder, int error)>;

// False, visiting nothing, when `folder` is not an existing folder. A
// sub-folder that cannot be read counts as empty and is reported to
// `unreadable` when given.
bool WalkFolder(const QString& folder, const FolderWalkCallback& callback,
                const UnreadableFolderCallback& unreadable = {});

} // namespace kolvex
