// kolvex-cli kml RECORDING [--out DIR]: the recording's track as the KML
// file the player's KML button writes.
#include "command.h"
#include "file_identity.h"
#include "recording_path.h"

#include "library/native_path.h"
#include "library/track_export.h"

#include <cstdio>

namespace kolvex::cli {
namespace {

int RunKml(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("Usage: kolvex-cli kml RECORDING [--out DIR]\n\n"
                    "Writes the recording's GPS track as a KML file named after the recording\n"
                    "and its start time into DIR (default: the documents folder's KOLVEX/KML/,\n"
                    "created when missing) and prints the file's full path. The file replaces\n"
                    "one of the same name only once it is complete (a link there is replaced,\n"
                    "not followed).\n\n"
                    "Exit status: 0 written, 1 not a recording or not writable, 2 no such "
                    "file.\n");
        return kOk;
    }
    std::string recording;
    std::string out;
    bool outGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size()) {
            out = args[++i];
            outGiven = true;
        } else if (recording.empty() && !args[i].empty() && args[i][0] != '-') {
            recording = args[i];
        } else {
            recording.clear();
            break;
        }
    }
    if (recording.empty() || (outGiven && out.empty())) {
        std::fprintf(stderr, "Usage: kolvex-cli kml RECORDING [--out DIR]\n");
        return kUsage;
    }
    CRecordingManager manager;
    bool isFolder = false;
    if (const int status = LoadPath("kml", recording, manager, isFolder); status != kOk)
        return status;
    if (isFolder || manager.Entries().empty()) {
        std::fprintf(stderr, "kolvex-cli kml: %s: not a usable recording\n", recording.c_str());
        return kFailure;
    }
    QString folder;
    if (outGiven) {
        folder = PathFromNative(out);
        if (!folder.endsWith(u'/'))
            folder += u'/';
        if (!IsDirectory(folder))
            CreateDirectoryPath(folder);
    } else if (!GetKmlFolder(folder)) {
        if (folder.isEmpty())
            std::fprintf(stderr, "kolvex-cli kml: the documents folder cannot be found (is HOME "
                                 "set?); name a folder with --out DIR\n");
        else
            std::fprintf(stderr, "kolvex-cli kml: cannot create the folder %s\n",
                         NativePath(folder).constData());
        return kFailure;
    }
    const RecordingEntry& entry = manager.Entries().front();
    const QString target = folder + KmlFileName(entry.name, entry.meta.startTime);
    FileIdentity recordingFile, targetFile;
    if (IdentityOf(NativePath(manager.GetPath(0)).toStdString(), recordingFile) &&
        IdentityAt(NativePath(target).toStdString(), targetFile) && recordingFile == targetFile) {
        std::fprintf(stderr, "kolvex-cli kml: %s: is the recording read; not written\n",
                     NativePath(target).constData());
        return kFailure;
    }
    manager.SelectFile(0);
    manager.LoadRecordingData(0);
    QString path;
    std::string error;
    if (!manager.ExportKml(folder, path, &error)) {
        std::fprintf(stderr, "kolvex-cli kml: %s: %s\n", NativePath(path).constData(),
                     error.c_str());
        return kFailure;
    }
    // Scripts get a path that still holds after they change folders.
    std::printf("%s\n", NativePath(AbsolutePath(path)).constData());
    return kOk;
}

} // namespace

KOLVEX_CLI_COMMAND({"kml", "kml RECORDING [--out DIR]",
                    "the recording's GPS track as the player's KML file", RunKml});

} // namespace kolvex::cli
