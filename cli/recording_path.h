// Loading what a command line names: a folder tree or one recording, in the
// form the player's open command uses.
#pragma once

#include "command.h"

#include "library/file_system.h"
#include "library/recording_manager.h"

#include <QFile>
#include <QString>
#include <cstdio>
#include <string>

namespace kolvex::cli {

// A file path split at its last '/' into folder and name; a file in the
// root folder keeps "/" as its folder so that it is not looked up in the
// working folder.
inline void SplitFilePath(const QString& path, QString& folder, QString& name) {
    const qsizetype slash = path.lastIndexOf(u'/');
    folder = slash < 0 ? QString() : slash == 0 ? QStringLiteral("/") : path.left(slash);
    name = path.mid(slash + 1);
}

// Loads `path` into `manager`: the whole tree when it is a folder, else the
// one file. kNotFound (with a message) when there is nothing at `path`.
inline int LoadPath(const char* command, const std::string& path, CRecordingManager& manager,
                    bool& isFolder) {
    const QString qpath = QFile::decodeName(path.c_str());
    isFolder = IsDirectory(qpath);
    int loaded = 0;
    if (isFolder) {
        loaded = manager.Load(qpath, QString());
    } else if (PathExists(qpath) && !qpath.endsWith(u'/')) {
        QString folder, name;
        SplitFilePath(qpath, folder, name);
        loaded = manager.Load(folder, name);
    }
    if (!loaded) {
        std::fprintf(stderr, "kolvex-cli %s: %s: no such file or folder\n", command, path.c_str());
        return kNotFound;
    }
    return kOk;
}

} // namespace kolvex::cli
