// Writes a clip of one or more consecutive recordings into one MP4 file.
//
// Without the overlay and with the front camera alone the clip is cut
// without re-encoding, at the key frames around the range (the result's
// ranges say where); otherwise it is encoded as H.264 with the front
// camera's sound. The file is written under a hidden temporary name in the
// target's folder and renamed to the target only when it is complete: a
// cancel or a failure (a full disk, a recording that went away) removes it
// and leaves an existing target as it was.
//
// Blocking; a window calls it from a worker thread, passes a cancel flag
// it sets from its own thread, and turns the progress callback (called on
// the worker thread, a few times a second) into queued signals.
#pragma once

#include "clip_request.h"

namespace kolvex {

ClipResult WriteClip(const ClipRequest& request, const ClipProgressCallback& progress = {},
                     const std::atomic<bool>* cancel = nullptr);

} // namespace kolvex
