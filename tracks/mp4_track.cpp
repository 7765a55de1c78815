#include "tracks/mp4_track.h"

#include <algorithm>
#include <cstring>

namespace kolvex {

namespace {

uint32_t BE32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint64_t BE64(const uint8_t* p) {
    return (uint64_t{BE32(p)} << 32) | BE32(p + 4);
}

// Every table entry count is bounded by what its box holds, so a hostile
// count allocates nothing it does not read.
bool ReadTable(CMediaFile& file, const Mp4Box& box, size_t entrySize, std::vector<uint8_t>& out,
               uint32_t& count) {
    uint8_t head[8];
    if (box.length < 8 || file.ReadAt(box.payload, head, 8) < 8)
        return false;
    count = BE32(head + 4);
    const uint64_t room = (box.length - 8) / entrySize;
    if (count > room)
        return false;
    out.resize(static_cast<size_t>(count) * entrySize);
    return file.ReadAt(box.payload + 8, out.data(), out.size()) == out.size();
}

} // namespace

bool Mp4Box::Is(const char* wanted) const {
    return std::memcmp(type, wanted, 4) == 0;
}

std::vector<Mp4Box> ReadChildBoxes(CMediaFile& file, uint64_t start, uint64_t length) {
    std::vector<Mp4Box> boxes;
    const uint64_t end = start + length;
    uint64_t p = start;
    while (end - p >= 8 && boxes.size() < 4096) {
        uint8_t head[16];
        if (file.ReadAt(p, head, 8) < 8)
            break;
        uint64_t size = BE32(head);
        uint64_t header = 8;
        if (size == 1) {
            if (end - p < 16 || file.ReadAt(p + 8, head + 8, 8) < 8)
                break;
            size = BE64(head + 8);
            header = 16;
        } else if (size == 0) {
            size = end - p;
        }
        if (size < header || size > end - p)
            break;
        Mp4Box box;
        box.payload = p + header;
        box.length = size - header;
        std::memcpy(box.type, head + 4, 4);
        boxes.push_back(box);
        p += size;
    }
    return boxes;
}

std::optional<Mp4Box> FindChildBox(CMediaFile& file, const Mp4Box& parent, const char* type) {
    for (const Mp4Box& box : ReadChildBoxes(file, parent.payload, parent.length)) {
        if (box.Is(type))
            return box;
    }
    return std::nullopt;
}

namespace {

std::optional<Mp4Box> FindPath(CMediaFile& file, Mp4Box box,
                               std::initializer_list<const char*> path) {
    for (const char* type : path) {
        const auto child = FindChildBox(file, box, type);
        if (!child)
            return std::nullopt;
        box = *child;
    }
    return box;
}

} // namespace

std::string TrackSampleEntry(CMediaFile& file, const Mp4Box& trak) {
    const auto stsd = FindPath(file, trak, {"mdia", "minf", "stbl", "stsd"});
    if (!stsd || stsd->length < 16)
        return {};
    uint8_t entry[16];
    if (file.ReadAt(stsd->payload, entry, sizeof entry) < sizeof entry || BE32(entry + 4) == 0)
        return {};
    const uint32_t size = BE32(entry + 8);
    if (size < 8 || size > stsd->length - 8)
        return {};
    return std::string(reinterpret_cast<const char*>(entry + 12), 4);
}

std::vector<TrackSample> ReadTrackSamples(CMediaFile& file, const Mp4Box& trak, size_t maxSamples) {
    std::vector<TrackSample> samples;
    const auto mdia = FindChildBox(file, trak, "mdia");
    if (!mdia)
        return samples;
    const auto mdhd = FindChildBox(file, *mdia, "mdhd");
    const auto stbl = FindPath(file, *mdia, {"minf", "stbl"});
    if (!mdhd || !stbl || mdhd->length < 24)
        return samples;
    uint8_t head[24];
    file.ReadAt(mdhd->payload, head, sizeof head);
    const uint32_t timeScale = head[0] == 1 ? BE32(head + 20) : BE32(head + 12);
    if (timeScale == 0)
        return samples;

    std::optional<Mp4Box> stsz, stco, co64, stsc, stts;
    for (const Mp4Box& box : ReadChildBoxes(file, stbl->payload, stbl->length)) {
        if (box.Is("stsz"))
            stsz = box;
        else if (box.Is("stco"))
            stco = box;
        else if (box.Is("co64"))
            co64 = box;
        else if (box.Is("stsc"))
            stsc = box;
        else if (box.Is("stts"))
            stts = box;
    }
    if (!stsz || !stsc || (!stco && !co64))
        return samples;

    // Sample sizes: one for all, or one each.
    uint8_t sizeHead[12];
    if (stsz->length < 12 || file.ReadAt(stsz->payload, sizeHead, 12) < 12)
        return samples;
    const uint32_t commonSize = BE32(sizeHead + 4);
    const uint32_t sampleCount = BE32(sizeHead + 8);
    if (commonSize == 0 && sampleCount > (stsz->length - 12) / 4)
        return samples;
    const size_t count = std::min<size_t>(sampleCount, maxSamples);
    std::vector<uint8_t> sizes;
    if (commonSize == 0) {
        sizes.resize(count * 4);
        if (file.ReadAt(stsz->payload + 12, sizes.data(), sizes.size()) < sizes.size())
            return samples;
    }

    std::vector<uint8_t> chunkTable, chunkMap, timeTable;
    uint32_t chunkCount = 0, mapCount = 0, timeCount = 0;
    const bool wide = !stco;
    if (!ReadTable(file, wide ? *co64 : *stco, wide ? 8 : 4, chunkTable, chunkCount) ||
        !ReadTable(file, *stsc, 12, chunkMap, mapCount) || mapCount == 0)
        return samples;
    if (stts && !ReadTable(file, *stts, 8, timeTable, timeCount))
        timeCount = 0;

    const uint64_t fileLength = file.Length();
    if (commonSize == 0)
        samples.reserve(count); // the sizes table held that many
    size_t mapIndex = 0;
    size_t timeIndex = 0;
    uint32_t timeLeft = timeCount ? BE32(timeTable.data()) : 0;
    uint64_t decodeTime = 0;
    for (uint32_t chunk = 1; chunk <= chunkCount && samples.size() < count; ++chunk) {
        while (mapIndex + 1 < mapCount && BE32(chunkMap.data() + (mapIndex + 1) * 12) <= chunk)
            ++mapIndex;
        const uint32_t perChunk = BE32(chunkMap.data() + mapIndex * 12 + 4);
        uint64_t offset = wide ? BE64(chunkTable.data() + (chunk - 1) * 8)
                               : BE32(chunkTable.data() + (chunk - 1) * 4);
        for (uint32_t i = 0; i < perChunk && samples.size() < count; ++i) {
            TrackSample s;
            const size_t n = samples.size();
            s.size = commonSize ? commonSize : BE32(sizes.data() + n * 4);
            s.offset = offset;
            offset += s.size;
            uint32_t delta = 0;
            while (timeIndex < timeCount && timeLeft == 0) {
                ++timeIndex;
                if (timeIndex < timeCount)
                    timeLeft = BE32(timeTable.data() + timeIndex * 8);
            }
            if (timeIndex < timeCount) {
                delta = BE32(timeTable.data() + timeIndex * 8 + 4);
                --timeLeft;
            }
            s.startSec = static_cast<double>(decodeTime) / timeScale;
            s.durationSec = static_cast<double>(delta) / timeScale;
            decodeTime += delta;
            // Bytes past the file's end are no sample; the index still counts.
            if (s.offset > fileLength || s.size > fileLength - s.offset)
                s.size = 0;
            samples.push_back(s);
        }
    }
    return samples;
}

} // namespace kolvex
