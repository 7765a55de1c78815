// kolvex-cli probe FILE: what the reader finds in one recording, as one JSON
// object. Its keys and exit codes are a contract for outside checks.
#include "clock_json.h"
#include "command.h"
#include "json.h"
#include "meta_json.h"
#include "recording_file.h"

#include <cstdio>

namespace kolvex::cli {
namespace {

int RunProbe(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("Usage: kolvex-cli probe FILE\n\n"
                    "Prints what the reader finds in one recording as a JSON object:\n"
                    "gpsOffset, gpsSize, gsensorOffset, gsensorSize, width, height, startTime,\n"
                    "durationSec, durationMs, fileLength, gpsInfo, gsensorInfo; for a recording\n"
                    "whose telemetry is not the camera's blocks also telemetry (gpmf, camm,\n"
                    "freegps, nmea), telemetryOffset, telemetrySize and, for freeGPS boxes of\n"
                    "an unknown layout, telemetryNote. A recording whose telemetry carries GPS\n"
                    "time adds gpsStartMs (its start by GPS, ms since 1970 UTC),\n"
                    "cameraStartTime (its start on the camera's clock, as startTime; 0 unknown)\n"
                    "and, knowing both, clockOffsetSec (the camera's clock ahead of GPS time,\n"
                    "negative behind), clockLikeZone, clockZoneSec and clockErrorSec.\n"
                    "A name ending in \".AVI\" is read as AVI, any other as MP4/MOV/3GP.\n\n"
                    "Exit status: 0 parsed, 1 not a usable recording, 2 no such file.\n");
        return kOk;
    }
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fprintf(stderr, "Usage: kolvex-cli probe FILE\n");
        return kUsage;
    }
    VideoMetaInfo meta;
    const int status = ParseForCommand("probe", args[0], meta);
    if (status != kOk)
        return status;

    JsonWriter json(2);
    json.BeginObject();
    WriteMetaMembers(json, meta);
    FillCameraStartTime(args[0], meta);
    WriteRecordingClock(json, meta);
    json.EndObject();
    const std::string text = json.Text();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kOk;
}

} // namespace

KOLVEX_CLI_COMMAND({"probe", "probe FILE", "what the reader finds in one recording (JSON)",
                    RunProbe});

} // namespace kolvex::cli
