// Real H.264 clips from ffmpeg's test sources: a moving test picture with
// the camera's caption and running clock burnt in, and quiet road noise on
// the front camera's sound track.
#pragma once

#include "wall_clock.h"

#include <string>
#include <vector>

namespace kolvex::samplecard {

struct ClipRequest {
    std::string path;   // where to write; the extension does not choose the format
    std::string format; // ffmpeg's muxer: "mp4", "mov" or "avi"
    int width = 1280;
    int height = 720;
    int seconds = 20;
    bool front = true;   // front: colour bars with motion and sound; rear: silent, other pattern
    std::string caption; // "FRONT MOVA0010"
    WallClock start;     // the burnt-in clock starts here
    unsigned seed = 1;   // the sound's noise
};

// The ffmpeg command line (without the program name) for a request; fontFile
// may be empty, then the picture has no caption.
std::vector<std::string> FfmpegArguments(const ClipRequest& request, const std::string& fontFile);

// A monospaced font for the caption, or "" when none is installed.
std::string FindCaptionFont();

// Runs ffmpeg (KOLVEX_FFMPEG or "ffmpeg" on the PATH); throws
// std::runtime_error with ffmpeg's own complaint when it fails.
void EncodeClip(const ClipRequest& request, const std::string& fontFile);

} // namespace kolvex::samplecard
