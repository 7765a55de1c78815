// The fuzzer's seed corpus, written by the camera-file writer: typical
// recordings of both formats and the hostile shapes the parsers must survive.
#pragma once

#include "camera_file_writer.h"

#include <string>
#include <utility>
#include <vector>

namespace kolvex::fuzz {

std::vector<std::pair<std::string, fixtures::Bytes>> SeedCorpus();

// The seeds of the program being built: the camera files for the parsers'
// program, one reader's telemetry for a reader's program.
std::vector<std::pair<std::string, fixtures::Bytes>> TargetSeeds();

} // namespace kolvex::fuzz
