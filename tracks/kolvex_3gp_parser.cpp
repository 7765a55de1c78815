#include "tracks/kolvex_3gp_parser.h"

#include <algorithm>
#include <cstring>

namespace kolvex {

namespace {

uint32_t LoadBE32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint16_t LoadBE16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

bool IsType(const char (&type)[4], const char* wanted) {
    return std::memcmp(type, wanted, 4) == 0;
}

// Only the 32-bit size form is understood: the 64-bit form (1) and the
// to-the-end form (0) have sizes below a header's 8 bytes.
constexpr uint32_t kHeaderSize = 8;
// Version 0 "mdhd": time scale at 12, duration at 16.
constexpr uint32_t kMdhdUsed = 20;
// Visual sample entry: width at 24, height at 26.
constexpr uint32_t kAvc1Used = 28;
// A movie box up to this size is read whole when the walk meets it: its
// tracks are looked through several times (duration, picture size, other
// cameras' telemetry), and one read of a few hundred KiB costs less than
// the hundred header reads it replaces. A larger one, or one that holds the
// camera's GPS or G-sensor block (read only as far as needed), is read box
// by box.
constexpr uint32_t kMaxKeptMovie = 512 * 1024;

} // namespace

CKolvex3gpParser::BoxHeader CKolvex3gpParser::ReadHeader(uint64_t position) {
    BoxHeader header;
    uint8_t bytes[kHeaderSize];
    if (m_file.ReadAt(position, bytes, kHeaderSize) < kHeaderSize)
        return header; // the header reaches past the end of the file
    const uint32_t size = LoadBE32(bytes);
    std::memcpy(header.type, bytes + 4, 4);
    header.payload = position + kHeaderSize;
    header.length = size - kHeaderSize;
    header.valid = size >= kHeaderSize;
    return header;
}

CKolvex3gpParser::Found CKolvex3gpParser::FindChild(const char* type, uint64_t start,
                                                    uint32_t limit) {
    uint64_t q = start;
    uint32_t used = 0;
    for (;;) {
        const BoxHeader header = ReadHeader(q);
        if (!header.valid)
            return {};
        if (std::memcmp(header.type, type, 4) == 0)
            return {true, header.payload, header.length};
        q = header.payload + header.length;
        used += header.length + kHeaderSize; // 32-bit, as the limit
        if (used >= limit)
            return {};
    }
}

CKolvex3gpParser::Found CKolvex3gpParser::FindPath(uint64_t start, uint32_t limit,
                                                   std::initializer_list<const char*> types) {
    Found found{true, start, limit};
    for (const char* type : types) {
        found = FindChild(type, found.payload, found.length);
        if (!found.found)
            break;
    }
    return found;
}

bool CKolvex3gpParser::HoldsCameraBlocks(uint64_t moovPayload, uint32_t moovLength) {
    const uint64_t end = moovPayload + moovLength;
    for (uint64_t q = moovPayload; q + kHeaderSize <= end;) {
        const BoxHeader child = ReadHeader(q);
        if (!child.valid)
            return false;
        if (IsType(child.type, "gps0") || IsType(child.type, "gsen"))
            return true;
        q = child.payload + child.length;
    }
    return false;
}

void CKolvex3gpParser::ReadMovieDuration(uint64_t moovPayload, uint32_t moovLength) {
    const Found mdhd = FindPath(moovPayload, moovLength, {"trak", "mdia", "mdhd"});
    if (!mdhd.found || mdhd.length < kMdhdUsed)
        return;
    uint8_t payload[kMdhdUsed] = {};
    m_file.ReadAt(mdhd.payload, payload, kMdhdUsed);
    const uint32_t timeScale = LoadBE32(payload + 12);
    const uint32_t duration = LoadBE32(payload + 16);
    if (timeScale != 0)
        m_durationMs = static_cast<uint32_t>(uint64_t{duration} * 1000 / timeScale);
}

void CKolvex3gpParser::ReadPictureSize(uint64_t moovPayload, uint32_t moovLength) {
    const Found stsd = FindPath(moovPayload, moovLength, {"trak", "mdia", "minf", "stbl", "stsd"});
    if (!stsd.found)
        return;
    uint8_t head[8] = {}; // version and flags, number of entries
    m_file.ReadAt(stsd.payload, head, sizeof head);
    if (LoadBE32(head + 4) == 0)
        return;
    const Found avc1 = FindChild("avc1", stsd.payload + sizeof head, stsd.length);
    if (!avc1.found || avc1.length < kAvc1Used)
        return;
    uint8_t entry[kAvc1Used] = {};
    m_file.ReadAt(avc1.payload, entry, kAvc1Used);
    m_width = LoadBE16(entry + 24);
    m_height = LoadBE16(entry + 26);
}

bool CKolvex3gpParser::WalkFormat() {
    const BoxHeader first = ReadHeader(0);
    if (!IsType(first.type, "ftyp") || !first.valid)
        return false;
    m_fileLength = m_file.Length();
    uint64_t p = first.payload + first.length;
    bool moovFound = false;
    uint64_t moovPayload = 0;
    uint32_t moovLength = 0;
    while (p < m_fileLength) {
        const BoxHeader box = ReadHeader(p);
        if (!box.valid)
            break;
        const uint64_t h = box.payload;
        const uint32_t n = box.length;
        if (IsType(box.type, "gps0")) {
            RecordGpsBlock(h, n);
            p = h + uint64_t{32} * (n / 32); // a trailing partial sample is not stepped over
        } else if (IsType(box.type, "gsen")) {
            RecordGSensorBlock(h, n);
            p = h + uint64_t{3} * (n / 3);
        } else if (IsType(box.type, "IDIT")) {
            ApplyTextDate(h, n);
            p = h + n;
        } else if (IsType(box.type, "gpsa")) {
            ReadInfoRecord(h, m_gpsInfo);
            p = h + n;
        } else if (IsType(box.type, "gsea")) {
            ReadInfoRecord(h, m_gsensorInfo);
            p = h + n;
        } else if (IsType(box.type, "moov")) {
            if (n <= kMaxKeptMovie && !HoldsCameraBlocks(h, n))
                m_file.Keep(h, n);
            ReadMovieDuration(h, n);
            ReadPictureSize(h, n);
            if (!moovFound) {
                moovFound = true;
                moovPayload = h;
                moovLength = n;
            }
            p = h; // the children of "moov" are walked like top-level boxes
        } else {
            p = h + n;
        }
    }
    m_durationSec = m_durationMs / 1000;
    // Only a recording without the camera's blocks is searched for other
    // telemetry: the camera's own are found with the reads they always took.
    if (moovFound && m_gpsSize == 0 && m_gsensorSize == 0) {
        const uint64_t inFile = moovPayload < m_fileLength ? m_fileLength - moovPayload : 0;
        m_telemetry = FindMp4Telemetry(m_file, moovPayload, std::min<uint64_t>(moovLength, inFile));
    }
    return true;
}

} // namespace kolvex
