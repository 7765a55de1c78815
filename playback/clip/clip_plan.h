// From a range of a drive to the parts of a clip: the recordings of one
// group that the range touches, each with its rear file and its own range.
#pragma once

#include "clip_request.h"

#include <QString>

namespace kolvex {

class CRecordingManager;

// The range runs from `fromMs` to `toMs`, counted from the start of
// recording `entry`; it continues into the following recordings of the
// same group (as the clip plays them: one after another, without the
// gaps between them) and is cut at the group's end. Empty (and `error`
// set) when the range lies outside the group.
std::vector<ClipPart> PlanClip(const CRecordingManager& manager, int entry, int64_t fromMs,
                               int64_t toMs, QString& error);

} // namespace kolvex
