// The driving-event detector's thresholds as the user set them in the "UI"
// section of Kolvex.ini, each falling back to the detector's default.
#pragma once

#include "app_settings.h"

#include "tracks/driving_events.h"

namespace kolvex {

// "EventBrakeG", "EventAccelG", "EventTurnG", "EventImpactG": the threshold
// in G, a decimal number with a point or a comma ("0.45", "0,45"); 0 switches
// the kind off. "EventBrakeMs", "EventAccelMs", "EventTurnMs",
// "EventImpactMs": the minimum duration in whole milliseconds. A missing,
// empty, negative or unreadable value gives that key's default.
EventThresholds ReadEventThresholds(const CAppSettings& settings);

} // namespace kolvex
