// The camera's naming rule for recording files, e.g. FILE0001.MOV or
// EVNG0123.AVI (an event recording: fourth character 'G').
#pragma once

#include <QString>

namespace kolvex {

// Whether a file in `folder` named `name` is offered to a parser. `event`
// tells whether the fourth character is 'G', `locked` whether the file is
// read-only for its owner.
bool IsRecordingName(const QString& folder, const QString& name, bool& event, bool& locked);

// The part of the rule that looks at the name alone, without touching the
// file: what a scan decides while it walks, leaving the file to its readers.
bool IsRecordingFileName(const QString& name, bool& event);

} // namespace kolvex
