// The texts of the list cells, as the lists show them: built from the
// library's raw values when a cell is drawn, so that filling a list with
// thousands of rows costs no formatting.
#pragma once

#include <QString>
#include <cstdint>

namespace kolvex {

// `secondsSince1970` in local time with a strftime pattern; empty when the
// time cannot be converted or formats to nothing.
QString FormatLocalTime(int64_t secondsSince1970, const char* pattern);

// " %lld MB": whole mebibytes, rounded down, after a space.
QString FormatMegabytes(int64_t bytes);

// " %lld s ": whole seconds of a duration in milliseconds.
QString FormatWholeSeconds(int64_t durationMs);

// "G%d-%d" of the file list, "G%d" of the group list.
QString FileIdText(int group, int indexInGroup);
QString GroupIdText(int group);

} // namespace kolvex
