// What the last delete, unlock or copy did with the files of the ticked
// groups, for the window's closing message. Counts are of files: a front
// recording and its rear file count as two; a rear file whose front file
// was not handled shares its front file's outcome.
#pragma once

#include <QString>
#include <vector>

namespace kolvex {

enum class FileOperation { kNone, kDelete, kUnlock, kCopy };

// Why one file was not deleted, unlocked or copied.
enum class FileProblem {
    kVanished,       // no file under the listed name any more
    kChanged,        // the name leads to another file than the one listed
    kNameTaken,      // unlock: a file already has the new name (front or rear)
    kTargetIsListed, // copy: the target is itself a recording in the list
    kDeclined,       // copy: the user kept the existing target
    kTargetLost,     // copy: the target folder was removed or replaced
    kCancelled,      // copy: the user cancelled before this file was done
    kSystem,         // the file system refused; `error` says why
};

struct FileProblemNote {
    QString path; // the listed file, as the file system names it
    FileProblem problem = FileProblem::kSystem;
    int error = 0; // errno for kSystem (0 when unknown)
    int files = 1; // 2 when it speaks for the recording's rear file too
    QString other; // kNameTaken: the name that is taken
};

struct FileOperationReport {
    FileOperation operation = FileOperation::kNone;
    int requested = 0;          // files the operation set out to handle
    int done = 0;               // deleted, unlocked (or already unlocked), copied
    int changed = 0;            // left alone: no longer the file that was listed
    int loadedTarget = 0;       // not copied: the target is itself a listed recording
    int declined = 0;           // not copied: the user kept the existing target
    int failed = 0;             // the file system refused, or the file had vanished
    int notAttempted = 0;       // not copied: the target folder was lost, or cancelled
    bool targetRefused = false; // empty, relative or no folder: nothing done
    bool targetLost = false;    // the target folder vanished or was replaced
    bool cancelled = false;     // the user stopped the copy
    QString destination;        // copy: the folder chosen
    // One note per file that was not handled, in the order met.
    std::vector<FileProblemNote> problems;
};

} // namespace kolvex
