// The few file-system operations the library performs on recordings, with
// the behaviour a user expects of a card: nothing is overwritten unasked and
// a failed copy leaves what was there before.
#pragma once

#include "file_identity.h"

#include <QString>
#include <cstdint>
#include <ctime>
#include <functional>

namespace kolvex {

bool PathExists(const QString& path);
bool IsDirectory(const QString& path);
// A regular file (after links): the only kind a parser may open without
// the risk of blocking on a pipe or a device.
bool IsRegularFile(const QString& path);

// A recording the camera protected cannot be written by its owner.
bool IsOwnerReadOnly(const QString& path);
// Gives the owner write permission to the file at `path`, only while it is
// still `expected` and never through a symbolic link (a link's own mode
// cannot be changed, and its target is not the listed file); true when the
// owner may write it afterwards.
bool ClearOwnerReadOnly(const QString& path, const FileIdentity& expected);

// Takes the owner's write permission away again, on the same terms; for
// undoing ClearOwnerReadOnly when the rest of an operation fails.
bool MakeOwnerReadOnly(const QString& path, const FileIdentity& expected);

// Deletes the file at `path` if it is still `expected`.
bool RemoveListedFile(const QString& path, const FileIdentity& expected);

// Renames `from` to `to` unless `to` already exists (errno EEXIST then).
bool RenameNoReplace(const QString& from, const QString& to);

// Whether both paths name the same existing file (through links, doubled
// separators or "..").
bool IsSameFile(const QString& a, const QString& b);

// Copies `source` to `target`, replacing `target`. The data goes to a hidden
// temporary file in the target's folder first (named with
// kCopyTemporaryPrefix), which is renamed over the target only once
// complete, so a failure leaves any old target intact. Refuses to copy a
// file onto itself, and, when `expected` is given, a source that is no
// longer that file.
bool CopyFileReplacing(const QString& source, const QString& target,
                       const FileIdentity* expected = nullptr);

// The same copy, watched: `observer` (when set) is called after each piece
// of data written with the bytes written so far; returning false stops the
// copy at once, and the temporary file goes as after a failure.
using CopyObserver = std::function<bool(int64_t bytesWritten)>;
enum class CopyStatus { kCopied, kFailed, kStopped };
struct CopyResult {
    CopyStatus status = CopyStatus::kFailed;
    int error = 0; // errno of a failure, 0 when the system gave none
};
CopyResult CopyFileObserved(const QString& source, const QString& target,
                            const FileIdentity* expected, const CopyObserver& observer);

inline constexpr char kCopyTemporaryPrefix[] = ".kolvex-copy-";

// Removes the temporary files of copies that were killed before they
// finished: regular files in `folder` named with kCopyTemporaryPrefix and
// last written before `startedAt`, so that a copy still running elsewhere
// keeps its file. Returns how many were removed.
int RemoveStaleCopyTemporaries(const QString& folder, const timespec& startedAt);

// Called before each piece of data a copy writes, with the copy's target;
// returning false fails that write as a full disk would. Tests set it to
// make a copy fail or to change the file system in the middle of a copy;
// an empty hook removes it.
using CopyWriteHook = std::function<bool(const QString& target)>;
void SetCopyWriteHook(CopyWriteHook hook);

// `path` with every run of separators written as one, as the file system
// itself names the file ("a//b/" -> "a/b/"): for what the user reads.
QString WithSingleSeparators(const QString& path);
// A folder's path so, without a final separator ("/" stays "/").
QString FolderForDisplay(const QString& folder);

// Removes a file (not a folder).
bool RemoveFile(const QString& path);

// The path made absolute against the working folder (as bytes, whatever
// they are), with ".", ".." and doubled separators resolved as text.
QString AbsolutePath(const QString& path);

// Creates every missing folder along `path` (separated by '/'), shortest
// prefix first; returns whether the last creation succeeded.
bool CreateDirectoryPath(const QString& path);

} // namespace kolvex
