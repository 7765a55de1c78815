// kolvex-cli kml RECORDING [--out DIR]: the recording's track as the KML
// file the player's KML button writes.
#include "command.h"
#include "recording_path.h"

#include "library/track_export.h"

#include <QFileInfo>

#include <cstdio>

namespace kolvex::cli {
namespace {

int RunKml(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("Usage: kolvex-cli kml RECORDING [--out DIR]\n\n"
                    "Writes the recording's GPS track as a KML file named after the recording\n"
                    "and its start time into DIR (default: the documents folder's KOLVEX/KML/,\n"
                    "created when missing) and prints the file's full path.\n\n"
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
        folder = QFile::decodeName(out.c_str());
        if (!folder.endsWith(u'/'))
            folder += u'/';
        if (!IsDirectory(folder))
            CreateDirectoryPath(folder);
    } else if (!GetKmlFolder(folder)) {
        std::fprintf(stderr, "kolvex-cli kml: cannot create the folder %s\n",
                     folder.isEmpty() ? "of KML files in the documents folder"
                                      : folder.toUtf8().constData());
        return kFailure;
    }
    manager.SelectFile(0);
    manager.LoadRecordingData(0);
    QString path;
    if (!manager.ExportKml(folder, path)) {
        std::fprintf(stderr, "kolvex-cli kml: cannot write %s\n", path.toUtf8().constData());
        return kFailure;
    }
    // Scripts get a path that still holds after they change folders.
    std::printf("%s\n", QFileInfo(path).absoluteFilePath().toUtf8().constData());
    return kOk;
}

} // namespace

KOLVEX_CLI_COMMAND({"kml", "kml RECORDING [--out DIR]",
                    "the recording's GPS track as the player's KML file", RunKml});

} // namespace kolvex::cli
