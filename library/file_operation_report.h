// What the last delete, unlock or copy did with the files of the ticked
// groups, for the window's closing message. Counts are of files: a front
// recording and its rear file count as two; a rear file whose front file
// was not handled shares its front file's outcome.
#pragma once

namespace kolvex {

struct FileOperationReport {
    int done = 0;               // deleted, unlocked (or already unlocked), copied
    int changed = 0;            // left alone: no longer the file that was listed
    int loadedTarget = 0;       // not copied: the target is itself a listed recording
    int declined = 0;           // not copied: the user kept the existing target
    int failed = 0;             // the file system refused, or the file had vanished
    int notAttempted = 0;       // not copied: the target folder was lost before
    bool targetRefused = false; // empty, relative or no folder: nothing done
    bool targetLost = false;    // the target folder vanished or was replaced
};

} // namespace kolvex
