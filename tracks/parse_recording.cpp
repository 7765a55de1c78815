#include "tracks/parse_recording.h"

namespace kolvex {

std::unique_ptr<CKolvexFileParser> MakeParserFor(const std::string& fileName) {
    const std::string ending = ".AVI";
    const bool avi = fileName.size() >= ending.size() &&
                     fileName.compare(fileName.size() - ending.size(), ending.size(), ending) == 0;
    if (avi)
        return std::make_unique<CKolvexAviParser>();
    return std::make_unique<CKolvex3gpParser>();
}

bool ParseRecording(const std::string& path, VideoMetaInfo& meta, FileStatus* status,
                    std::string* reason) {
    auto parser = MakeParserFor(path);
    parser->SetResultRecord(&meta);
    parser->SetFileStatus(status);
    const bool ok = parser->Parse(path) == 0;
    if (reason)
        *reason = parser->FailureReason();
    return ok;
}

} // namespace kolvex
