// How many files below a folder the naming rule accepts as recordings: when
// a load lists none of them, that many could not be read (empty, damaged
// or cut short), which the user is told instead of an empty list.
#pragma once

#include <QString>

namespace kolvex {

int CountRecordingNames(const QString& folder);

} // namespace kolvex
