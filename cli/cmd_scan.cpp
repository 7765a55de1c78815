// kolvex-cli scan [--readers N] PATH: the recording library's view of a card, a
// folder or one file, as one JSON object. Its keys and exit codes are a
// contract for outside checks.
#include "command.h"
#include "json.h"
#include "meta_json.h"
#include "recording_path.h"
#include "scan_progress.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kolvex::cli {
namespace {

void WriteRecordings(JsonWriter& json, const CRecordingManager& manager) {
    json.Key("recordings").BeginArray();
    for (const RecordingEntry& entry : manager.Entries()) {
        json.BeginObject();
        json.Key("name").Path(NativeBytes(entry.name));
        json.Key("root").Path(NativeBytes(entry.root));
        json.Key("subdir").Path(NativeBytes(entry.subdir));
        json.Key("flags").Int(entry.flags);
        json.Key("startsGroup").Int(entry.startsGroup);
        WriteMetaMembers(json, entry.meta);
        json.EndObject();
    }
    json.EndArray();
}

void WriteGroups(JsonWriter& json, const CRecordingManager& manager) {
    json.Key("groups").BeginArray();
    for (const RecordingGroup& group : manager.Groups()) {
        json.BeginObject();
        json.Key("index").Int(group.index);
        json.Key("firstEntry").Int(group.firstEntry);
        json.Key("count").Int(group.count);
        json.Key("totalDurationMs").Int(group.totalDurationMs);
        json.Key("totalBytes").Int(group.totalBytes);
        json.Key("flags").Int(group.flags);
        json.EndObject();
    }
    json.EndArray();
}

// "--readers N" before the path: how many threads read the files of a
// folder (0: one after another, as the walk meets them). False when N is
// not a number from 0 to kMaxReaders.
bool ParseReaders(const std::string& text, int& readers) {
    constexpr int kMaxReaders = 64;
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    readers = std::stoi(text);
    return readers <= kMaxReaders;
}

int RunScan(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("Usage: kolvex-cli scan [--readers N] PATH\n\n"
                    "Loads a folder tree (every file named like a camera recording) or one file\n"
                    "as the player does, sorts and groups the recordings, and prints one JSON\n"
                    "object: scanned (files visited, null for a single file), recordings (name,\n"
                    "root, subdir, flags, startsGroup and the members of probe) and groups\n"
                    "(index, firstEntry, count, totalDurationMs, totalBytes, flags).\n"
                    "flags: 1 event recording, 2 locked. A byte of a name that is not UTF-8\n"
                    "is written as \\udcXX (its value in hex).\n\n"
                    "--readers N  threads that read the files of a folder while it is walked\n"
                    "             (0 to 64; default %d; 0 reads each file when the walk meets\n"
                    "             it). The output is the same whatever N is.\n\n"
                    "Exit status: 0 loaded (possibly nothing), 2 no such file or folder.\n",
                    kDefaultScanReaders);
        return kOk;
    }
    ScanOptions options;
    std::vector<std::string> rest = args;
    if (rest.size() == 3 && rest[0] == "--readers") {
        if (!ParseReaders(rest[1], options.readers)) {
            std::fprintf(stderr, "kolvex-cli scan: --readers takes a number from 0 to 64\n");
            return kUsage;
        }
        rest.erase(rest.begin(), rest.begin() + 2);
    }
    if (rest.size() != 1 || rest[0].empty() || rest[0][0] == '-') {
        std::fprintf(stderr, "Usage: kolvex-cli scan [--readers N] PATH\n");
        return kUsage;
    }
    CRecordingManager manager;
    manager.SetScanOptions(options);
    TerminalScanProgress progress("scan");
    manager.SetProgressView(&progress);
    bool isFolder = false;
    if (const int status = LoadPath("scan", rest[0], manager, isFolder); status != kOk)
        return status;

    JsonWriter json(2);
    json.BeginObject();
    json.Key("scanned");
    if (isFolder)
        json.Int(manager.ScanCount());
    else
        json.Null();
    WriteRecordings(json, manager);
    WriteGroups(json, manager);
    json.EndObject();
    const std::string text = json.Text();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kOk;
}

} // namespace

KOLVEX_CLI_COMMAND({"scan", "scan [--readers N] PATH",
                    "recordings and groups of a card, folder or file, as the player lists them "
                    "(JSON)",
                    RunScan});

} // namespace kolvex::cli
