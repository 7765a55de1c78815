// Reading ISO boxes and a track's sample table, for the telemetry readers.
// Every size and count read from the file is checked against its parent box
// and the file before it is used.
#pragma once

#include "tracks/media_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kolvex {

struct Mp4Box {
    uint64_t payload = 0; // first byte after the header
    uint64_t length = 0;  // payload length
    char type[4] = {};
    bool Is(const char* wanted) const;
};

// The boxes inside [start, start + length), in order. The walk stops at a
// header that is not whole or that claims more than the parent holds; a size
// of 0 runs to the parent's end, a size of 1 takes the 64-bit size.
std::vector<Mp4Box> ReadChildBoxes(CMediaFile& file, uint64_t start, uint64_t length);
std::optional<Mp4Box> FindChildBox(CMediaFile& file, const Mp4Box& parent, const char* type);

// The sample entry type of a "trak" ("avc1", "gpmd", "camm", ...), "" when
// there is none.
std::string TrackSampleEntry(CMediaFile& file, const Mp4Box& trak);

struct TrackSample {
    uint64_t offset = 0;
    uint32_t size = 0;
    double startSec = 0;    // decoding time from the track's start
    double durationSec = 0; // from the time-to-sample table
};

// The samples of a track, at most maxSamples, in decoding order. A sample
// whose bytes lie outside the file has size 0. Empty when the tables are
// missing or damaged.
std::vector<TrackSample> ReadTrackSamples(CMediaFile& file, const Mp4Box& trak, size_t maxSamples);

// Reads the bytes of samples in order, at most maxBytes in all, handing each
// to take(sample, bytes); stops when take returns false.
template <typename Take>
void ForEachSamplePayload(CMediaFile& file, const std::vector<TrackSample>& samples,
                          uint64_t maxBytes, Take take) {
    std::vector<uint8_t> bytes;
    uint64_t total = 0;
    for (const TrackSample& s : samples) {
        if (total + s.size > maxBytes)
            return;
        total += s.size;
        bytes.resize(s.size);
        bytes.resize(file.ReadAt(s.offset, bytes.data(), bytes.size()));
        if (!take(s, bytes))
            return;
    }
}

} // namespace kolvex
