#include "folder_walk.h"

#include "file_system.h"
#include "native_path.h"

#include <QByteArray>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace kolvex {

namespace {

enum class EntryKind { kFile, kFolder, kSkip };

EntryKind KindOf(const QByteArray& levelPath, const dirent* entry) {
    if (entry->d_type == DT_DIR)
        return EntryKind::kFolder;
    if (entry->d_type == DT_REG)
        return EntryKind::kFile;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return EntryKind::kSkip; // pipes, sockets, devices: opening one may block
    struct stat st;
    const QByteArray path = levelPath + entry->d_name;
    if (::lstat(path.constData(), &st) != 0)
        return EntryKind::kSkip;
    if (S_ISDIR(st.st_mode))
        return EntryKind::kFolder;
    if (S_ISREG(st.st_mode))
        return EntryKind::kFile;
    if (!S_ISLNK(st.st_mode))
        return EntryKind::kSkip;
    // A link to a folder could lead back up the tree and is not followed;
    // links to files are what some tools leave on a copied card and are
    // offered. A dangling link is offered too and fails to parse.
    if (::stat(path.constData(), &st) != 0)
        return EntryKind::kFile;
    return S_ISREG(st.st_mode) ? EntryKind::kFile : EntryKind::kSkip;
}

struct Level {
    DIR* search;
    QString relativePath;
    QByteArray nativePath; // opened folder + relative path, ends with '/'
};

} // namespace

bool WalkFolder(const QString& folder, const FolderWalkCallback& callback,
                const UnreadableFolderCallback& unreadable) {
    if (!IsDirectory(folder))
        return false;
    QString top = folder;
    if (!top.endsWith(u'/'))
        top += u'/';

    std::vector<Level> stack; // the levels above the current one
    stack.reserve(kMaxFolderDepth);
    Level current{nullptr, QString(), NativePath(top)};
    const auto openLevel = [&unreadable, &top](Level& level) {
        level.search = ::opendir(level.nativePath.constData());
        if (!level.search && unreadable)
            unreadable(top + level.relativePath, errno);
    };
    openLevel(current);
    for (;;) {
        const dirent* entry = current.search ? ::readdir(current.search) : nullptr;
        if (!entry) {
            if (current.search)
                ::closedir(current.search);
            if (stack.empty())
                return true;
            current = std::move(stack.back());
            stack.pop_back();
            continue;
        }
        if (entry->d_name[0] == '.') // ".", ".." and hidden entries
            continue;
        const EntryKind kind = KindOf(current.nativePath, entry);
        if (kind == EntryKind::kSkip)
            continue;
        const QString name = PathFromNative(entry->d_name);
        if (kind == EntryKind::kFile) {
            callback(top, current.relativePath, name, false);
            continue;
        }
        callback(top, current.relativePath, name, true);
        if (static_cast<int>(stack.size()) >= kMaxFolderDepth)
            continue;
        Level below{nullptr, current.relativePath + name + u'/',
                    current.nativePath + entry->d_name + '/'};
        stack.push_back(std::move(current));
        current = std::move(below);
        openLevel(current);
    }
}

} // namespace kolvex
