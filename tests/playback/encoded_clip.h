#pragma once

// Real H.264 clips for playback tests and benchmarks, encoded with ffmpeg
// when the test runs (nothing binary is kept in the repository).

#include <QString>

struct ClipSpec {
    QString fileName; // the extension picks the container: .mp4, .mov, .avi
    int width = 320;
    int height = 240;
    int fps = 25;
    double seconds = 3.0;
    // An ffmpeg lavfi source without its size, rate and duration, e.g.
    // "testsrc2" (moving pattern) or "color=c=blue" (a plain picture).
    QString source = QStringLiteral("testsrc2");
};

// Encodes the clip into folder and returns its path; on failure returns an
// empty string and says why in *error.
QString EncodeClip(const QString& folder, const ClipSpec& spec, QString* error);
