// Parser of AVI (RIFF) files: walks chunks and the header lists, takes the
// duration from the main header, the picture size from the video stream's
// format, and the camera's "gps0", "gsen", "gpsa", "gsea" and "IDIT" chunks.
// Rejects files whose movie data list reaches past the end of the file.
#pragma once

#include "tracks/CKolvexVideoParser.h"

namespace kolvex {

class CKolvexAviParser : public CKolvexFileParser {
protected:
    bool WalkFormat() override;
    bool FormatComplete() const override { return !m_bMoviBeyondEnd; }

private:
    bool ReadTag(uint64_t& p, char (&tag)[4]);
    bool ReadSize(uint64_t& p, uint32_t& size);
    bool ReadStreamFormat(uint64_t& p, const char (&streamType)[4]);

    bool m_bMoviBeyondEnd = false;
};

} // namespace kolvex
