// One file that the naming rule accepted, read into a RecordingEntry: the
// work of the scan that touches the file, the same whichever thread does it.
#pragma once

#include "card_layout.h"
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

// What the name alone says about a file the scan meets: what the walk
// decides, leaving the file to its readers.
struct ScanCandidate {
    bool namingRule = false; // the camera's own rule accepts the name
    bool event = false;      // and marks it an event recording
    LayoutName layout;       // the name of another camera's layout
};

// False when neither the camera's rule nor another camera's layout lists
// the name.
bool IsScanCandidate(const QString& name, ScanCandidate& candidate);

// Reads a file the name of which the scan accepted: whether it is locked,
// what it is, and its parse. Nothing when it does not parse (gone,
// unreadable or no recording) or is the rear file of another camera's
// layout, which plays beside its front file.
std::optional<RecordingEntry> ReadScannedRecording(const QString& openedFolder,
                                                   const QString& relativePath, const QString& name,
                                                   const ScanCandidate& candidate);

// Whether the rules of another camera's layout apply to a parsed file: its
// name follows one, and it is not a file of the camera's own naming rule
// that the camera's reader recognised (that one stays exactly as before).
bool FollowsOtherLayout(const ScanCandidate& candidate, const VideoMetaInfo& meta);

} // namespace kolvex
