// kolvex-cli gpx PATH... [--out FILE]: the GPS track of recordings as GPX 1.1.
#include "command.h"
#include "file_identity.h"
#include "recording_path.h"
#include "scan_progress.h"

#include "library/native_path.h"
#include "library/track_export.h"
#include "map/kml/replacing_file.h"

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
                    "time, and speed and course in the track-point extension. A recording\n"
                    "named twice is read once. FILE is replaced only once it is complete (a\n"
                    "link at FILE is replaced, not followed) and never when it is one of the\n"
                    "recordings read.\n\n"
                    "Exit status: 0 written, 1 not a recording, no GPS fix or not writable,\n"
                    "2 no such file.\n");
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
    std::vector<FileIdentity> inputs; // each recording is taken once
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
        for (size_t e = 0; e < manager.Entries().size(); ++e) {
            const QString recording = manager.GetPath(static_cast<int>(e));
            FileIdentity identity;
            if (IdentityOf(NativePath(recording).toStdString(), identity)) {
                if (Contains(inputs, identity))
                    continue;
                inputs.push_back(identity);
            }
            sources.push_back(GpxSource{recording, manager.Entries()[e].meta});
        }
    }
    FileIdentity target;
    if (outGiven && IdentityAt(out, target) && Contains(inputs, target)) {
        std::fprintf(stderr, "kolvex-cli gpx: %s: is one of the recordings read; not written\n",
                     out.c_str());
        return kFailure;
    }
    std::stable_sort(sources.begin(), sources.end(), [](const GpxSource& a, const GpxSource& b) {
        return a.meta.startTime < b.meta.startTime;
    });
    const QString trackName = sources.empty() ? QString() : sources.front().path.section(u'/', -1);
    std::string document;
    size_t points = 0;
    if (!WriteGpxTrack(sources, trackName, document, &points)) {
        std::fprintf(stderr, "kolvex-cli gpx: a recording could not be read\n");
        return kFailure;
    }
    if (points == 0) {
        std::fprintf(stderr, "kolvex-cli gpx: no recordings with GPS fixes\n");
        return kFailure;
    }
    if (!outGiven) {
        std::fwrite(document.data(), 1, document.size(), stdout);
        return kOk;
    }
    // Written beside the target and renamed, so a failure keeps an old file.
    CReplacingFile file;
    if (!file.Open(PathFromNative(out)) || !file.Write(document) || !file.Commit()) {
        std::fprintf(stderr, "kolvex-cli gpx: %s: %s\n", out.c_str(), file.Error().c_str());
        return kFailure;
    }
    return kOk;
}

} // namespace

KOLVEX_CLI_COMMAND({"gpx", "gpx PATH... [--out FILE]",
                    "the GPS track of recordings or folders as GPX 1.1", RunGpx});

} // namespace kolvex::cli
