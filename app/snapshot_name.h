// Where a snapshot goes and in which format: the name the save dialog
// proposes, the folder it opens in, and the file a chosen name becomes.
#pragma once

#include <QString>

#include <cstdint>

namespace kolvex {

// "MOVA0010_01-07": the recording's name and the time in it (minutes and
// seconds; hours first from one hour on), so that snapshots of one
// recording sort by time and never collide within a second.
QString SnapshotBaseName(const QString& recordingPath, int64_t timeMs);

// The extension a filter of the save dialog names: "png" for "Png
// File(*.png)", "jpg" for every other.
QString FilterExtension(const QString& nameFilter);

// Whether `fileName` ends in an extension of a format snapshots are
// written in (jpg, jpeg, png, any case).
bool HasSnapshotExtension(const QString& fileName);

// The file a chosen name is written to: as chosen when its extension names
// a snapshot format, else with the filter's extension added ("crash" and
// "at 08.12" become "crash.png" and "at 08.12.png" under the PNG filter).
QString SnapshotFileFor(const QString& chosen, const QString& nameFilter);

// `fileName` with its snapshot extension replaced by the filter's; other
// names as they are (the dialog's name follows a change of filter).
QString WithFilterExtension(const QString& fileName, const QString& nameFilter);

// The folder the save dialog opens in: `remembered` (the folder of the last
// snapshot) while it exists, else the user's Pictures folder (made when
// missing), else the home folder.
QString SnapshotFolder(const QString& remembered);

} // namespace kolvex
