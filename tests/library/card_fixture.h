// A memory card in a temporary folder, with recordings written by the
// fixture library.
#pragma once

#include "camera_file_writer.h"

#include <QString>
#include <QTemporaryDir>
#include <string>

namespace kolvex::testing {

class TempCard {
public:
    TempCard();
    ~TempCard();
    TempCard(const TempCard&) = delete;
    TempCard& operator=(const TempCard&) = delete;
    // The card's folder, without a trailing '/'.
    QString Root() const { return m_dir.path(); }
    // The bytes of a path below the card; `relative` may be any bytes.
    std::string Path(const std::string& relative) const;

    // A recording whose start is the given local time ("2015-06-01
    // 10:00:00"), as MP4 or, for names ending in ".AVI", as AVI.
    void AddRecording(const std::string& relative, const std::string& start,
                      uint32_t durationMs = 60000);
    void AddRecording(const std::string& relative, const fixtures::CameraRecording& recording);
    void AddFile(const std::string& relative, const std::string& content);
    void AddFolder(const std::string& relative);

private:
    QTemporaryDir m_dir;
};

// A recording with a start time and the usual camera records.
fixtures::CameraRecording RecordingAt(const std::string& start, uint32_t durationMs = 60000);

} // namespace kolvex::testing
