// One file parsed the way the recording library does it: a name ending in
// ".AVI" (exactly, upper case) takes the AVI parser, any other name the MP4
// parser.
#pragma once

#include "tracks/kolvex_3gp_parser.h"
#include "tracks/kolvex_avi_parser.h"

#include <memory>
#include <string>

namespace kolvex {

std::unique_ptr<CKolvexFileParser> MakeParserFor(const std::string& fileName);

// Parses path into meta (left as it was on failure). reason, when given,
// receives a one-line explanation of a failure.
bool ParseRecording(const std::string& path, VideoMetaInfo& meta, FileStatus* status = nullptr,
                    std::string* reason = nullptr);

} // namespace kolvex
