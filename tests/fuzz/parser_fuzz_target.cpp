// One fuzz input is one camera file, given to both parsers (and, when one
// accepts it, to the sample reader). Besides the sanitizers' own checks it
// asserts what every parse must keep: a success is a usable recording, a
// failure leaves the result alone, and the reads stay proportional to the
// file.
#include "tracks/kolvex_3gp_parser.h"
#include "tracks/kolvex_avi_parser.h"
#include "tracks/sample_decoding.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The input lives in an in-memory file so the parsers open it by path
// exactly as they open a recording, without touching the disk.
const std::string& InputPath(int& fd) {
    static int memoryFd = memfd_create("kolvex-fuzz-input", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(memoryFd);
    fd = memoryFd;
    return path;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void ParseWith(kolvex::CKolvexVideoParser& parser, const std::string& path, size_t size) {
    kolvex::VideoMetaInfo meta;
    meta.width = 7; // a failed parse must leave this
    parser.SetResultRecord(&meta);
    const int32_t result = parser.Parse(path);
    Check(result == 0 || result == -1, "parse returns 0 or -1");
    const auto& io = parser.IoCounters();
    // Another camera's telemetry is examined too: its first few samples.
    Check(io.readCalls <= size / 2 + 64 + 256, "read calls proportional to the file");
    Check(io.bytesRead <= 2 * static_cast<uint64_t>(size) + 256 * 1024, "bytes read bounded");
    if (result != 0) {
        Check(meta.width == 7 && meta.height == 0 && meta.gpsSize == 0, "failure leaves record");
        return;
    }
    Check(meta.width != 0 && meta.height != 0 && meta.durationMs != 0, "success is usable");
    Check(meta.fileLength == size, "file length");
    Check(meta.durationSec == meta.durationMs / 1000, "whole seconds");
    std::vector<kolvex::GpsSample> gps;
    std::vector<kolvex::GSensorSample> gsensor;
    Check(kolvex::ReadRecordingSamples(path, meta, gps, gsensor), "blocks readable");
    // The camera's blocks lie in the file; other telemetry is laid out over
    // the recording's duration, within the block limit.
    if (meta.telemetry == kolvex::TelemetryFormat::Camera)
        Check(gps.size() * 32 <= size && gsensor.size() * 3 <= size, "blocks within the file");
    Check(gps.size() * 32 <= kolvex::kMaxCameraBlockSize &&
              gsensor.size() * 3 <= kolvex::kMaxCameraBlockSize,
          "blocks within the limit");
    (void)kolvex::DecodeGpsBlock(gps, meta);
    (void)kolvex::DecodeGSensorBlock(gsensor, meta);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = -1;
    const std::string& path = InputPath(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0)
        std::abort();
    size_t done = 0;
    while (done < size) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0)
            std::abort();
        done += static_cast<size_t>(n);
    }
    kolvex::CKolvex3gpParser mp4;
    ParseWith(mp4, path, size);
    kolvex::CKolvexAviParser avi;
    ParseWith(avi, path, size);
    return 0;
}
