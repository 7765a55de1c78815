// The few file-system operations the library performs on recordings, with
// the behaviour a user expects of a card: nothing is overwritten unasked and
// a failed copy leaves what was there before.
#pragma once

#include <QString>

namespace kolvex {

bool PathExists(const QString& path);
bool IsDirectory(const QString& path);
// A regular file (after links): the only kind a parser may open without
// the risk of blocking on a pipe or a device.
bool IsRegularFile(const QString& path);

// A recording the camera protected cannot be written by its owner.
bool IsOwnerReadOnly(const QString& path);
// Gives the owner write permission; false when the file cannot be changed.
bool ClearOwnerReadOnly(const QString& path);

// Renames `from` to `to` unless `to` already exists.
bool RenameNoReplace(const QString& from, const QString& to);

// Whether both paths name the same existing file (through links, doubled
// separators or "..").
bool IsSameFile(const QString& a, const QString& b);

// Copies `source` to `target`, replacing `target`. The data goes to a hidden
// temporary file in the target's folder first, which is renamed over the
// target only once complete, so a failure leaves any old target intact.
// Refuses to copy a file onto itself.
bool CopyFileReplacing(const QString& source, const QString& target);

// Removes a file (not a folder).
bool RemoveFile(const QString& path);

// The path made absolute against the working folder (as bytes, whatever
// they are), with ".", ".." and doubled separators resolved as text.
QString AbsolutePath(const QString& path);

// Creates every missing folder along `path` (separated by '/'), shortest
// prefix first; returns whether the last creation succeeded.
bool CreateDirectoryPath(const QString& path);

} // namespace kolvex
