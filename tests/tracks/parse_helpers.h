// Writes fixture bytes to a scratch file and parses them.
#pragma once

#include "camera_file_writer.h"
#include "temp_dir.h"
#include "tracks/kolvex_3gp_parser.h"
#include "tracks/kolvex_avi_parser.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace kolvex::testing {

enum class Container { Mp4, Avi };

struct ParseOutcome {
    int32_t result = 0;
    VideoMetaInfo meta;
    CMediaFile::Counters io;
};

// A record a failed parse must leave exactly as it was.
inline VideoMetaInfo Sentinel() {
    VideoMetaInfo m;
    m.gpsOffset = 11;
    m.gpsSize = 12;
    m.width = 13;
    m.startTime = 14;
    m.fileLength = 15;
    m.gpsInfo = {1, 2, 3, 4};
    return m;
}

inline ParseOutcome ParseFile(const std::string& path, Container container,
                              VideoMetaInfo start = {}) {
    ParseOutcome out;
    out.meta = start;
    CKolvex3gpParser mp4;
    CKolvexAviParser avi;
    CKolvexVideoParser& parser = container == Container::Avi
                                     ? static_cast<CKolvexVideoParser&>(avi)
                                     : static_cast<CKolvexVideoParser&>(mp4);
    parser.SetResultRecord(&out.meta);
    out.result = parser.Parse(path);
    out.io = parser.IoCounters();
    return out;
}

inline ParseOutcome ParseBytes(const fixtures::Bytes& bytes, Container container,
                               VideoMetaInfo start = {}) {
    TempDir dir;
    const std::string path = dir.File(container == Container::Avi ? "FILE.AVI" : "FILE.MP4");
    if (!fixtures::WriteFile(path, bytes))
        throw std::runtime_error("cannot write " + path);
    return ParseFile(path, container, start);
}

inline fixtures::Bytes Build(const fixtures::CameraRecording& r, Container container) {
    return container == Container::Avi ? fixtures::BuildAvi(r) : fixtures::BuildMp4(r);
}

// Position of the nth occurrence of a four-character code in bytes.
inline size_t FindCode(const fixtures::Bytes& bytes, const char* code, int nth = 0) {
    auto it = bytes.begin();
    for (;;) {
        it = std::search(it, bytes.end(), code, code + 4);
        if (it == bytes.end())
            throw std::runtime_error(std::string("no ") + code + " in fixture");
        if (nth-- == 0)
            return static_cast<size_t>(it - bytes.begin());
        ++it;
    }
}

// Where the data of a camera record starts: after an ISO box's type, or
// after a RIFF chunk's tag and size.
inline uint64_t DataOffset(const fixtures::Bytes& bytes, const char* code, Container container) {
    return FindCode(bytes, code) + (container == Container::Avi ? 8 : 4);
}

} // namespace kolvex::testing
