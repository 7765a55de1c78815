// The names other cameras give their recordings, besides the camera's own
// rule (recording_name.h):
//   2026_0514_081200_001F.MP4   date and time, a running number, F front / R rear
//   20260514_081200_NF.mp4      date and time, the recording's kind (N normal,
//                               E event, M manual, P parking, ...), F front / R rear
//   GH010042.MP4, GX020042.MP4  chapter 01, 02, ... of recording 0042
//   GOPR0042.MP4, GP010042.MP4  first and second chapter of recording 0042
// Their folders RO, EVENT and Protected (any case) hold what the camera
// kept after a jolt or a press of its button.
#pragma once

#include "recording_records.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace kolvex {

enum class CardLayout {
    None,        // no other camera's name
    DateStamped, // one of the two dated forms; `rear` and `event` say more
    Chaptered,   // an action camera's chapter
};

struct LayoutName {
    CardLayout layout = CardLayout::None;
    bool rear = false;  // camera letter R: played beside its front file, never listed alone
    bool event = false; // recording kind E (event) or M (manual)
    // The local time the name carries (DateStamped only).
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int chapter = 0; // Chaptered: 1 for the first chapter
    // Chaptered: what the chapters of one recording share ("GH0042").
    QString series;
};

LayoutName ParseLayoutName(QStringView name);

// Whether a file lies in one of the folders where cameras keep protected
// recordings: any folder of `relativePath` ("Movie/RO/") or the last folder
// of `openedFolder` is named RO, EVENT or Protected, in any case.
bool IsInEventFolder(QStringView openedFolder, QStringView relativePath);

// Whether the camera's own reader recognised what it parsed: its GPS or
// G-sensor blocks, their information records or its text date (another
// camera's telemetry does not count). A name that
// both the camera's rule and another layout accept follows the camera's
// rule for such a file, and the other layout for any other file.
bool CarriesCameraRecords(const VideoMetaInfo& meta);

// What the layout of the name adds to a parsed entry whose name is not the
// camera's own (or whose content the camera's reader did not recognise):
// the event mark of its kind or folder, and its start time from the name
// when the file gave none. Rear files are the caller's to drop.
void ApplyLayout(RecordingEntry& entry, const LayoutName& layout, bool inEventFolder);

// The start of a recording on the camera's own clock, apart from any GPS
// time: its text date when the reader found one, else the time in a dated
// name, else, for a chapter, when its file was last written (the camera
// closes it as the chapter ends) less its duration; 0 when none is known.
// ApplyLayout stores it in the entry's meta.cameraStartTime.
int64_t LayoutCameraStart(const LayoutName& layout, const VideoMetaInfo& meta, int64_t modifiedSec);

// The chapters of one action-camera recording follow each other without a
// gap: the first chapter starts when the file says, or, when it says
// nothing, when its file was last written less its duration; each further
// chapter starts where the chapters before it end. Other entries stay as
// they are.
void ChainChapters(std::vector<RecordingEntry>& entries);

} // namespace kolvex
