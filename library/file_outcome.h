// How one file fared in a delete, unlock or copy, and how that is counted
// in the operation's report.
#pragma once

#include "file_identity.h"
#include "file_operation_report.h"

#include <QString>

namespace kolvex {

enum class Outcome { kDone, kChanged, kLoadedTarget, kDeclined, kFailed, kNotAttempted };

struct FileOutcome {
    Outcome outcome = Outcome::kDone;
    FileProblem problem = FileProblem::kSystem; // unless kDone
    int error = 0;
    QString other; // kNameTaken: the name that is taken
    bool Done() const { return outcome == Outcome::kDone; }
    static FileOutcome Success() { return FileOutcome{}; }
    static FileOutcome Refused(int error) {
        return FileOutcome{Outcome::kFailed, FileProblem::kSystem, error, QString()};
    }
};

// Counts `files` files (a front file, or it and its rear file) and notes
// the file at `path` when it was not handled.
void Count(FileOperationReport& report, const FileOutcome& outcome, const QString& path, int files);

// Done while the name still leads to the listed file; a file that has
// vanished cannot be handled and counts as failed.
FileOutcome CheckListed(const QString& path, const FileIdentity& remembered);

} // namespace kolvex
