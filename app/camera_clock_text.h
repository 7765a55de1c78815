// The camera's clock against GPS time in words, for the file list's tips
// and the trip panel: "1 h 00 min 12 s ahead of GPS (UTC)", and below it
// the time zone and the clock's error the offset looks like.
#pragma once

#include "info_panel.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace kolvex {

// "1 h 00 min 12 s", "3 min 00 s", "12 s" in the current language.
QString ClockDurationText(int64_t seconds);

// The lines of an offset under the label of string `labelId`: the offset,
// then (unlabelled) the zone and error it looks like. None without one.
InfoLines CameraClockLines(std::optional<int64_t> offsetSec, unsigned labelId);

// The lines as a tip shows them, one per line ("Camera clock: ...").
QString TipText(const InfoLines& lines);

} // namespace kolvex
