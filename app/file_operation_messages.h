// The texts of the file operations in the current language: the question
// before a delete, the copy's progress on the status board and what the
// window says once an operation is over.
#pragma once

#include "library/file_operation_report.h"
#include "library/recording_copy.h"

#include <QString>
#include <QStringList>

namespace kolvex {

// `text` with its %s placeholders filled by `arguments` in order (an
// argument is never searched for placeholders itself).
QString WithArguments(const QString& text, const QStringList& arguments);

// "3 of 8 files · 1.2 GB / 4.0 GB · 0:12 left".
QString CopyProgressText(const CopyProgress& progress);

// The question before deleting `recordings` recordings of `files` files.
QString DeleteQuestionText(int recordings, int files);

// What to tell the user after an operation; empty when there is nothing
// to say (everything deleted or unlocked). `warning` is set when
// something was not done.
struct OperationMessage {
    QString caption;
    QString text;
    bool warning = false;
};
OperationMessage OperationReportMessage(const FileOperationReport& report);

// Up to this many files that were not handled are named one by one; more
// are counted per reason.
inline constexpr int kFilesNamedInMessages = 5;

} // namespace kolvex
