#include "seed_corpus.h"

namespace kolvex::fuzz {

std::vector<std::pair<std::string, fixtures::Bytes>> TargetSeeds() {
    return SeedCorpus();
}

} // namespace kolvex::fuzz
