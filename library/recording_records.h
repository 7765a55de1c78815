// The library's records: one recording, one group of consecutive
// recordings, one row of the file list.
#pragma once

#include "file_identity.h"

#include "tracks/video_meta_info.h"

#include <QString>
#include <cstdint>

namespace kolvex {

enum RecordingFlag : int {
    kRecordingEvent = 0x01,  // fourth character of the name is 'G' (or card_layout.h)
    kRecordingLocked = 0x02, // the file may not be written by its owner
};

struct RecordingEntry {
    int32_t startsGroup = 0;
    int32_t flags = 0;
    QString name;   // file name without folder
    QString root;   // the folder that was opened
    QString subdir; // folders below root, each followed by '/'
    VideoMetaInfo meta{};
    // The file as it was listed, and the rear file that belonged to it then
    // (not `exists` when there was none): the file operations touch only
    // these very files.
    FileIdentity file;
    FileIdentity rear;
    // An action camera's chapter (1 for the first) when its name said so
    // (card_layout.h); 0 for every other recording.
    int32_t chapter = 0;
};

struct RecordingGroup {
    int32_t index = 0;
    int32_t firstEntry = 0;
    int32_t count = 0;
    int64_t totalDurationMs = 0;
    int64_t totalBytes = 0;
    uint8_t flags = 0;
    int32_t isChecked = 0;
};

struct RecordingRow {
    int32_t group = 0;
    int32_t indexInGroup = 0;
    int32_t entry = 0;
};

} // namespace kolvex
