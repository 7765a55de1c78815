// One file that the naming rule accepted, read into a RecordingEntry: the
// work of the scan that touches the file, the same whichever thread does it.
#pragma once

#include "recording_records.h"

#include "tracks/kolvex_video_parser.h"

#include <QString>
#include <memory>
#include <optional>

namespace kolvex {

// ".AVI" (exactly, upper case) takes the AVI parser, any other name the MP4
// parser.
std::unique_ptr<CKolvexVideoParser> ParserForName(const QString& name);

// The rear file that belongs to a front file now, remembered so that the
// file operations later act on it only while it is still that file.
FileIdentity RearIdentityOf(const QString& frontPath, const FileIdentity& front);

// The full path the scan reads a file by: the opened folder, the relative
// path and the name, joined with '/'.
QString ScannedPath(const QString& openedFolder, const QString& relativePath, const QString& name);

// Reads a file whose name the naming rule accepted (`event` as the rule
// reported it): whether it is locked, what it is, and its parse. Nothing
// when it does not parse (gone, unreadable or no recording).
std::optional<RecordingEntry> ReadScannedRecording(const QString& openedFolder,
                                                   const QString& relativePath, const QString& name,
                                                   bool event);

} // namespace kolvex
