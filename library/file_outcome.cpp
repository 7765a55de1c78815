#include "file_outcome.h"

#include "file_system.h"

namespace kolvex {

void Count(FileOperationReport& report, const FileOutcome& outcome, const QString& path,
           int files) {
    switch (outcome.outcome) {
    case Outcome::kDone:
        report.done += files;
        return;
    case Outcome::kChanged:
        report.changed += files;
        break;
    case Outcome::kLoadedTarget:
        report.loadedTarget += files;
        break;
    case Outcome::kDeclined:
        report.declined += files;
        break;
    case Outcome::kFailed:
        report.failed += files;
        break;
    case Outcome::kNotAttempted:
        report.notAttempted += files;
        break;
    }
    report.problems.push_back(FileProblemNote{WithSingleSeparators(path), outcome.problem,
                                              outcome.error, files, outcome.other});
}

FileOutcome CheckListed(const QString& path, const FileIdentity& remembered) {
    const FileIdentity now = IdentityOf(path);
    if (!now.exists)
        return FileOutcome{Outcome::kFailed, FileProblem::kVanished, 0, QString()};
    if (!IsUnchanged(remembered, now))
        return FileOutcome{Outcome::kChanged, FileProblem::kChanged, 0, QString()};
    return FileOutcome::Success();
}

} // namespace kolvex
