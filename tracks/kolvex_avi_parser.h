// Parser of AVI (RIFF) files: walks chunks and the header lists, takes the
// duration from the main header, the picture size from the video stream's
// format, and the camera's "gps0", "gsen", "gpsa", "gsea" and "IDIT" chunks.
// Rejects files whose movie data list reaches past the end of the file.
#pragma once

#include "tracks/kolvex_video_parser.h"

namespace kolvex {

class CKolvexAviParser : public CKolvexFileParser {
protected:
    bool WalkFormat() override;
    const char* NotThisFormat() const override {
        return "not an AVI file (it does not start with \"RIFF\")";
    }
    const char* NoPictureSize() const override {
        return "no picture size found (no video stream format)";
    }
    bool FormatComplete(std::string& reason) const override {
        if (m_bMoviBeyondEnd)
            reason = "the movie data reaches beyond the end of the file (unfinished recording)";
        return !m_bMoviBeyondEnd;
    }

private:
    bool ReadTag(uint64_t& p, char (&tag)[4]);
    bool ReadSize(uint64_t& p, uint32_t& size);
    bool ReadStreamFormat(uint64_t& p, const char (&streamType)[4]);

    bool m_bMoviBeyondEnd = false;
};

} // namespace kolvex
