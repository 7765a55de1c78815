// Fuzz entry point of one telemetry reader, chosen when the program is
// built (KOLVEX_FUZZ_READER): 0 GPMF payloads, 1 CAMM packets, 2 freeGPS
// boxes and their index, 3 NMEA text. Each reader must stay inside its
// input and give only possible values.
#include "tracks/camm_reader.h"
#include "tracks/freegps_reader.h"
#include "tracks/gpmf_reader.h"
#include "tracks/nmea_reader.h"
#include "tracks/telemetry_blocks.h"
#include "tracks/video_meta_info.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#ifndef KOLVEX_FUZZ_READER
#define KOLVEX_FUZZ_READER 0
#endif

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void CheckTrack(const kolvex::TelemetryTrack& track, size_t size) {
    Check(track.fixes.size() <= size && track.accels.size() <= size, "values bounded by input");
    for (const auto& f : track.fixes) {
        if (f.fix) {
            Check(std::fabs(f.latitude) <= 90 && std::fabs(f.longitude) <= 180,
                  "possible position");
        }
    }
    // Laying out what was read must stay within the block limit.
    const auto gps = kolvex::GpsBlockFromFixes(track.fixes, 10, 0, 1.5);
    const auto g = kolvex::GSensorBlockFromAccels(track.accels, 0);
    Check(gps.size() <= kolvex::kMaxCameraBlockSize && g.size() <= kolvex::kMaxCameraBlockSize,
          "blocks within the limit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the input, so that any read past it is seen.
    const std::vector<uint8_t> input(data, data + size);
    kolvex::TelemetryTrack track;
    switch (KOLVEX_FUZZ_READER) {
    case 0:
        kolvex::ReadGpmfPayload(input.data(), input.size(), 0, 1, track);
        break;
    case 1:
        // Packets one after another, each preceded by its length byte.
        for (size_t p = 0; p < input.size();) {
            const size_t n = std::min<size_t>(input[p], input.size() - p - 1);
            kolvex::ReadCammPacket(input.data() + p + 1, n, static_cast<double>(p), track);
            p += n + 1;
        }
        kolvex::DeriveCammSpeeds(track);
        break;
    case 2: {
        (void)kolvex::ReadFreeGpsIndex(input.data(), input.size(), 1000);
        (void)kolvex::IdentifyFreeGpsBox(input.data(), input.size());
        if (auto fix = kolvex::ReadFreeGpsBox(input.data(), input.size(), 0))
            track.fixes.push_back(*fix);
        break;
    }
    default:
        track.fixes = kolvex::ReadNmeaText(
            std::string_view(reinterpret_cast<const char*>(input.data()), input.size()));
        break;
    }
    CheckTrack(track, size);
    return 0;
}
