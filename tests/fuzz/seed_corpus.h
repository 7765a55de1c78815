// The fuzzer's seed corpus, written by the camera-file writer: typical
// recordings of both formats and the hostile shapes the parsers must survive.
#pragma once

#include "camera_file_writer.h"

#include <string>
#include <utility>
#include <vector>

namespace kolvex::fuzz {

std::vector<std::pair<std::string, fixtures::Bytes>> SeedCorpus();

} // namespace kolvex::fuzz
