// Replays inputs through the fuzz entry point without libFuzzer: the
// target's seed corpus (written by the fixture writers), then every file
// named on the command line or found in a named folder (crash regressions,
// a fuzzing run's corpus). With --write-seeds DIR it writes the seed corpus
// instead.
#include "seed_corpus.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

size_t ReplayFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc == 3 && std::string(argv[1]) == "--write-seeds") {
        fs::create_directories(argv[2]);
        for (const auto& [name, bytes] : kolvex::fuzz::TargetSeeds()) {
            if (!kolvex::fixtures::WriteFile((fs::path(argv[2]) / name).string(), bytes)) {
                std::fprintf(stderr, "cannot write %s\n", name.c_str());
                return 1;
            }
        }
        return 0;
    }
    size_t count = 0;
    for (const auto& [name, bytes] : kolvex::fuzz::TargetSeeds()) {
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++count;
    }
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::recursive_directory_iterator(arg)) {
                if (entry.is_regular_file())
                    count += ReplayFile(entry.path());
            }
        } else if (fs::exists(arg)) {
            count += ReplayFile(arg);
        }
    }
    std::printf("replayed %zu inputs\n", count);
    return 0;
}
