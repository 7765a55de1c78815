// kolvex-cli gpx PATH... [--out FILE]: the GPS track of recordings as GPX 1.1.
#include "command.h"
#include "recording_path.h"
#include "scan_progress.h"

#include "library/track_export.h"

#include <QSaveFile>

#include <algorithm>
#include <cstdio>

namespace kolvex::cli {
namespace {

int RunGpx(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("Usage: kolvex-cli gpx PATH... [--out FILE]\n\n"
                    "Writes one GPX 1.1 track of the recordings named (a folder stands for\n"
                    "every recording below it), in order of their start, one segment per\n"
                    "recording, to FILE or to standard output. Each point has its elevation,\n"
                    "time, and speed and course in the track-point extension.\n\n"
                    "Exit status: 0 written, 1 not a recording or not writable, 2 no such "
                    "file.\n");
        return kOk;
    }
    std::vector<std::string> paths;
    std::string out;
    bool outGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size()) {
            out = args[++i];
            outGiven = true;
        } else if (!args[i].empty() && args[i][0] != '-') {
            paths.push_back(args[i]);
        } else {
            paths.clear();
            break;
        }
    }
    if (paths.empty() || (outGiven && out.empty())) {
        std::fprintf(stderr, "Usage: kolvex-cli gpx PATH... [--out FILE]\n");
        return kUsage;
    }
    std::vector<GpxSource> sources;
    for (const std::string& path : paths) {
        CRecordingManager manager;
        TerminalScanProgress progress("gpx");
        manager.SetProgressView(&progress);
        bool isFolder = false;
        if (const int status = LoadPath("gpx", path, manager, isFolder); status != kOk)
            return status;
        if (!isFolder && manager.Entries().empty()) {
            std::fprintf(stderr, "kolvex-cli gpx: %s: not a usable recording\n", path.c_str());
            return kFailure;
        }
        for (size_t e = 0; e < manager.Entries().size(); ++e)
            sources.push_back(
                GpxSource{manager.GetPath(static_cast<int>(e)), manager.Entries()[e].meta});
    }
    std::stable_sort(sources.begin(), sources.end(), [](const GpxSource& a, const GpxSource& b) {
        return a.meta.startTime < b.meta.startTime;
    });
    const QString trackName = sources.empty() ? QString() : sources.front().path.section(u'/', -1);
    std::string document;
    if (!WriteGpxTrack(sources, trackName, document)) {
        std::fprintf(stderr, "kolvex-cli gpx: a recording could not be read\n");
        return kFailure;
    }
    if (!outGiven) {
        std::fwrite(document.data(), 1, document.size(), stdout);
        return kOk;
    }
    // Written beside the target and renamed, so a failure keeps an old file.
    QSaveFile file(QFile::decodeName(out.c_str()));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(document.data(), static_cast<qint64>(document.size())) !=
            static_cast<qint64>(document.size()) ||
        !file.commit()) {
        std::fprintf(stderr, "kolvex-cli gpx: cannot write %s\n", out.c_str());
        return kFailure;
    }
    return kOk;
}

} // namespace

KOLVEX_CLI_COMMAND({"gpx", "gpx PATH... [--out FILE]",
                    "the GPS track of recordings or folders as GPX 1.1", RunGpx});

} // namespace kolvex::cli
