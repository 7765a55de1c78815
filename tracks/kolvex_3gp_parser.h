// Parser of MP4, MOV and 3GP files: walks the top-level boxes and the
// children of "moov", takes the camera's "gps0", "gsen", "gpsa", "gsea" and
// "IDIT" boxes, and the duration and picture size of the first track.
#pragma once

#include "tracks/kolvex_video_parser.h"

#include <initializer_list>

namespace kolvex {

class CKolvex3gpParser : public CKolvexFileParser {
protected:
    bool WalkFormat() override;
    const char* NotThisFormat() const override {
        return "not an MP4, MOV or 3GP file (it does not start with an \"ftyp\" box)";
    }
    const char* NoPictureSize() const override {
        return "no picture size found (no H.264 video track)";
    }

private:
    struct BoxHeader {
        uint64_t payload = 0; // position of the first byte after the header
        uint32_t length = 0;  // payload length (size - 8)
        char type[4] = {};
        bool valid = false; // a whole header with a size of at least 8
    };
    struct Found {
        bool found = false;
        uint64_t payload = 0;
        uint32_t length = 0;
    };

    BoxHeader ReadHeader(uint64_t position);
    Found FindChild(const char* type, uint64_t start, uint32_t limit);
    Found FindPath(uint64_t start, uint32_t limit, std::initializer_list<const char*> types);
    void ReadMovieDuration(uint64_t moovPayload, uint32_t moovLength);
    bool HoldsCameraBlocks(uint64_t moovPayload, uint32_t moovLength);
    void ReadPictureSize(uint64_t moovPayload, uint32_t moovLength);
};

} // namespace kolvex
