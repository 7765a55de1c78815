#include "seed_corpus.h"
#include "telemetry_seed_corpus.h"

#ifndef KOLVEX_FUZZ_READER
#define KOLVEX_FUZZ_READER 0
#endif

namespace kolvex::fuzz {

std::vector<std::pair<std::string, fixtures::Bytes>> TargetSeeds() {
    return TelemetrySeedCorpus(KOLVEX_FUZZ_READER);
}

} // namespace kolvex::fuzz
