#include "tracks/kolvex_avi_parser.h"

#include <algorithm>
#include <cstring>

namespace kolvex {

namespace {

uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

bool IsTag(const char (&tag)[4], const char* wanted) {
    return std::memcmp(tag, wanted, 4) == 0;
}

// How much of each header is used; longer chunks are read only this far and
// the rest is scanned like unknown data.
constexpr uint32_t kMainHeaderUsed = 56;   // "avih"
constexpr uint32_t kStreamHeaderUsed = 64; // "strh"
constexpr uint32_t kBitmapHeaderUsed = 40; // "strf" of a video stream

} // namespace

bool CKolvexAviParser::ReadTag(uint64_t& p, char (&tag)[4]) {
    if (m_file.ReadAt(p, tag, 4) < 4)
        return false;
    p += 4;
    return true;
}

bool CKolvexAviParser::ReadSize(uint64_t& p, uint32_t& size) {
    uint8_t bytes[4];
    if (m_file.ReadAt(p, bytes, 4) < 4)
        return false;
    size = LoadLE32(bytes);
    p += 4;
    return true;
}

bool CKolvexAviParser::WalkFormat() {
    m_bMoviBeyondEnd = false;
    uint64_t p = 0;
    char tag[4] = {};
    uint32_t riffSize = 0;
    if (!ReadTag(p, tag) || !IsTag(tag, "RIFF"))
        return false;
    ReadSize(p, riffSize); // not used
    p = 8;
    m_fileLength = m_file.Length();

    // A tag or size cut off by the end of the file ends the walk.
    while (p < m_fileLength) {
        if (!ReadTag(p, tag))
            break;
        uint32_t s = 0;
        if (IsTag(tag, "LIST")) {
            if (!ReadSize(p, s))
                break;
            const uint64_t end = p + s;
            char listType[4] = {};
            if (!ReadTag(p, listType))
                break;
            if (IsTag(listType, "movi")) {
                p = end;
                if (end > m_fileLength)
                    m_bMoviBeyondEnd = true;
            } else if (IsTag(listType, "hdrl") || IsTag(listType, "strl") ||
                       IsTag(listType, "avih")) {
                // entered: its chunks are walked next
            } else {
                p = end;
            }
        } else if (IsTag(tag, "avih")) {
            if (!ReadSize(p, s))
                break;
            uint8_t header[kMainHeaderUsed] = {};
            p += m_file.ReadAt(p, header, std::min(s, kMainHeaderUsed));
            const uint32_t microsPerFrame = LoadLE32(header + 0);
            const uint32_t totalFrames = LoadLE32(header + 16);
            m_durationMs = static_cast<uint32_t>(uint64_t{totalFrames} * microsPerFrame / 1000);
            m_durationSec = m_durationMs / 1000;
        } else if (IsTag(tag, "strh")) {
            if (!ReadSize(p, s))
                break;
            uint8_t header[kStreamHeaderUsed] = {};
            p += m_file.ReadAt(p, header, std::min(s, kStreamHeaderUsed));
            char streamType[4];
            std::memcpy(streamType, header, 4);
            if (!ReadStreamFormat(p, streamType))
                break;
        } else if (IsTag(tag, "IDIT")) {
            if (!ReadSize(p, s))
                break;
            ApplyTextDate(p, s);
            p += s;
        } else if (IsTag(tag, "gps0")) {
            if (!ReadSize(p, s))
                break;
            RecordGpsBlock(p, s);
            p += uint64_t{32} * (s / 32);
        } else if (IsTag(tag, "gsen")) {
            if (!ReadSize(p, s))
                break;
            RecordGSensorBlock(p, s);
            p += uint64_t{3} * (s / 3);
        } else if (IsTag(tag, "gpsa") || IsTag(tag, "gsea")) {
            if (!ReadSize(p, s))
                break;
            ReadInfoRecord(p, IsTag(tag, "gpsa") ? m_gpsInfo : m_gsensorInfo);
            p += s;
        } else if (IsTag(tag, "JUNK") || IsTag(tag, "idx1") || IsTag(tag, "indx")) {
            if (!ReadSize(p, s))
                break;
            p += s; // used as it stands: no pad byte after an odd size
        }
        // Any other tag: the walk has moved on by 4 bytes and reads the next 4.
    }
    return true;
}

// After a stream header: the format chunk of a video stream gives the
// picture size; that of an audio stream is stepped over. False when the
// file ends inside the tag or size.
bool CKolvexAviParser::ReadStreamFormat(uint64_t& p, const char (&streamType)[4]) {
    const bool video = IsTag(streamType, "vids");
    if (!video && !IsTag(streamType, "auds"))
        return true;
    char tag[4];
    if (!ReadTag(p, tag))
        return false;
    if (!IsTag(tag, "strf"))
        return true;
    uint32_t f = 0;
    if (!ReadSize(p, f))
        return false;
    if (!video) {
        p += f;
        return true;
    }
    uint8_t header[kBitmapHeaderUsed] = {};
    p += m_file.ReadAt(p, header, std::min(f, kBitmapHeaderUsed));
    // Only the low 16 bits of the signed width and height are kept: a
    // top-down picture of height -720 gives 64,816.
    m_width = static_cast<uint16_t>(LoadLE32(header + 4));
    m_height = static_cast<uint16_t>(LoadLE32(header + 8));
    return true;
}

} // namespace kolvex
