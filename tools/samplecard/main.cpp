// kolvex-samplecard [--layout camera|action|dual-dated] DIR: writes a realistic sample card of
// dash-camera recordings into DIR (see README, "The sample card").
#include "card_plan.h"
#include "card_writer.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "Usage: kolvex-samplecard [--layout camera|action|dual-dated] DIR\n\n"
                      "Writes a sample card of dash-camera recordings into DIR: real H.264\n"
                      "clips (MP4, MOV, AVI) with the camera's GPS and G-sensor records.\n"
                      "--layout action writes an action camera's chaptered recordings\n"
                      "with a GPMF track (GPS5 at 18 Hz, GPS9 at 10 Hz in recording 0042,\n"
                      "ACCL at 200 Hz; the tunnel without a fix in recording 0043),\n"
                      "--layout dual-dated a dual camera's dated names with rear files\n"
                      "and an event folder: freeGPS boxes at 1 Hz in the front files but\n"
                      "the first, whose GPS is in its NMEA side file; rear files carry none.\n"
                      "DIR must be missing, empty or an earlier sample card, which is replaced.\n"
                      "Needs ffmpeg (or KOLVEX_FFMPEG naming it).\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        PrintUsage(stdout);
        return 0;
    }
    using namespace kolvex::samplecard;
    SampleLayout layout = SampleLayout::Camera;
    bool known = true;
    if (argc == 4 && !std::strcmp(argv[1], "--layout")) {
        if (!std::strcmp(argv[2], "action"))
            layout = SampleLayout::Action;
        else if (!std::strcmp(argv[2], "dual-dated"))
            layout = SampleLayout::DualDated;
        else
            known = !std::strcmp(argv[2], "camera");
    }
    const int next = argc == 4 ? 3 : 1;
    if (!known || (argc != 2 && !(argc == 4 && !std::strcmp(argv[1], "--layout"))) ||
        argv[next][0] == '\0' || argv[next][0] == '-') {
        PrintUsage(stderr);
        return 64;
    }
    const char* folder = argv[next];
    try {
        const auto began = std::chrono::steady_clock::now();
        const CardPlan plan = PlanFor(layout);
        const auto written = WriteSampleCard(folder, plan);
        uint64_t total = 0;
        for (const auto& file : written) {
            std::printf("%-28s %9llu  %s\n", file.path.c_str(),
                        static_cast<unsigned long long>(file.bytes), file.description.c_str());
            total += file.bytes;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        std::printf("Wrote %zu files (%.1f MB) to %s in %.0f s.\n", written.size(),
                    static_cast<double>(total) / 1e6, folder, seconds);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kolvex-samplecard: %s\n", error.what());
        return 1;
    }
}
