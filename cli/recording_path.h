// Loading what a command line names: a folder tree or one recording, in the
// form the player's open command uses.
#pragma once

#include "command.h"

#include "library/file_system.h"
#include "library/native_path.h"
#include "library/recording_manager.h"

#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace kolvex::cli {

// A library path as the bytes the file system knows it by, for
// JsonWriter::Path.
inline std::string NativeBytes(const QString& path) {
    return NativePath(path).toStdString();
}

// A file path split at its last '/' into folder and name; a file in the
// root folder keeps "/" as its folder so that it is not looked up in the
// working folder.
inline void SplitFilePath(const QString& path, QString& folder, QString& name) {
    const qsizetype slash = path.lastIndexOf(u'/');
    folder = slash < 0 ? QString() : slash == 0 ? QStringLiteral("/") : path.left(slash);
    name = path.mid(slash + 1);
}

// Loads `path` into `manager`: the whole tree when it is a folder, else the
// one file. kNotFound (with a message) when there is nothing at `path`,
// kFailure when it cannot be reached (a folder on the way that cannot be
// searched). Folders of the tree that cannot be read are named on stderr;
// the load still counts as done.
inline int LoadPath(const char* command, const std::string& path, CRecordingManager& manager,
                    bool& isFolder) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        std::fprintf(stderr, "kolvex-cli %s: %s: %s\n", command, path.c_str(),
                     error == ENOENT || error == ENOTDIR ? "no such file or folder"
                                                         : std::strerror(error));
        return error == ENOENT || error == ENOTDIR ? kNotFound : kFailure;
    }
    const QString qpath = PathFromNative(path);
    isFolder = S_ISDIR(st.st_mode);
    int loaded = 0;
    if (isFolder) {
        loaded = manager.Load(qpath, QString());
    } else if (!qpath.endsWith(u'/')) {
        QString folder, name;
        SplitFilePath(qpath, folder, name);
        loaded = manager.Load(folder, name);
    }
    if (!loaded) {
        std::fprintf(stderr, "kolvex-cli %s: %s: no such file or folder\n", command, path.c_str());
        return kNotFound;
    }
    for (const auto& unreadable : manager.UnreadableFolders())
        std::fprintf(stderr, "kolvex-cli %s: cannot read the folder %s: %s\n", command,
                     NativePath(unreadable.path).constData(), std::strerror(unreadable.error));
    return kOk;
}

} // namespace kolvex::cli
