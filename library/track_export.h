// Where the KML button and its menu put their files.
#pragma once

#include "tracks/gps_sample.h"
#include "tracks/video_meta_info.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace kolvex {

// The documents folder + "KOLVEX/KML/", created when missing. False when
// the documents folder is unknown (folder is then empty; also when HOME is
// unset) or the folder cannot be created (folder names it).
bool GetKmlFolder(QString& folder);

// The same for the GPX export: the documents folder + "KOLVEX/GPX/".
bool GetGpxFolder(QString& folder);

// The file name of a recording's KML export: the name without its last
// four characters, the local start time as "_%Y_%m_%d_%H-%M-%S", ".KML".
QString KmlFileName(const QString& recordingName, int64_t startTime);
// The same name ending in ".GPX".
QString GpxFileName(const QString& recordingName, int64_t startTime);

// Whether an export writes the sample: the map's rule (a valid fix at a
// real position), so that an impossible fix reaches no file.
bool IsExportedSample(const GpsSample& sample);

struct GpxSource {
    QString path;
    VideoMetaInfo meta;
    // The part of the recording whose samples are written (ms from its
    // start, the end excluded); the whole recording by default.
    int64_t fromMs = 0;
    int64_t toMs = INT64_MAX;
};

// One GPX track with a segment per recording, in the order given. Points
// are dated by the sample's own date, else by the recording's start plus
// the sample's offset. False when a recording's file could not be read
// (its segment stays empty).
// points (when given) receives the number of track points written.
bool WriteGpxTrack(const std::vector<GpxSource>& recordings, const QString& trackName,
                   std::string& document, size_t* points = nullptr);

} // namespace kolvex
