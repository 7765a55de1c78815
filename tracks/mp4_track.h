// Reading ISO boxes and a track's sample table, for the telemetry readers.
// Every size and count read from the file is checked against its parent box
// and the file before it is used.
#pragma once

#include "tracks/media_file.h"

#include <algorithm>
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

// Samples that lie back to back in the file are read together, this many
// bytes at a time at most: a track of thousands of small samples costs a
// few reads instead of one each.
inline constexpr uint64_t kSampleRunBytes = 1u << 20;

// Reads the bytes of samples in order, at most maxBytes in all, handing each
// to take(sample, data, size); stops when take returns false. A sample cut
// short by the file's end gets the bytes the file holds.
template <typename Take>
void ForEachSamplePayload(CMediaFile& file, const std::vector<TrackSample>& samples,
                          uint64_t maxBytes, Take take) {
    std::vector<uint8_t> run;
    uint64_t total = 0;
    size_t next = 0;
    while (next < samples.size()) {
        // The samples [next, end) that follow each other within the budget;
        // empty samples join any run (their offset does not matter).
        uint64_t start = 0;
        uint64_t runBytes = 0;
        size_t end = next;
        for (; end < samples.size(); ++end) {
            const TrackSample& s = samples[end];
            if (total + runBytes + s.size > maxBytes)
                break;
            if (s.size == 0)
                continue;
            if (runBytes == 0) {
                start = s.offset;
            } else if (s.offset != start + runBytes || runBytes + s.size > kSampleRunBytes) {
                break;
            }
            runBytes += s.size;
        }
        if (end == next)
            return; // the next sample would pass the budget
        run.resize(static_cast<size_t>(runBytes));
        const size_t got = runBytes != 0 ? file.ReadAt(start, run.data(), run.size()) : 0;
        size_t at = 0;
        for (; next < end; ++next) {
            const TrackSample& s = samples[next];
            const size_t from = std::min(at, got);
            const size_t n = s.size == 0 ? 0 : std::min<size_t>(s.size, got - from);
            if (!take(s, run.data() + from, n))
                return;
            at += s.size;
        }
        total += runBytes;
    }
}

} // namespace kolvex
