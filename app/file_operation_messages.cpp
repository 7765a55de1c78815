#include "file_operation_messages.h"

#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QLocale>

#include <cerrno>
#include <cstring>
#include <map>

namespace kolvex {

namespace {

QString Text(unsigned id) {
    return LoadLangString(id);
}

QString Number(int64_t n) {
    return QString::number(n);
}

QString NameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString Duration(int64_t ms) {
    const int64_t s = (ms + 999) / 1000;
    if (s >= 3600)
        return QString::asprintf("%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                                 static_cast<long long>(s / 60 % 60),
                                 static_cast<long long>(s % 60));
    return QString::asprintf("%lld:%02lld", static_cast<long long>(s / 60),
                             static_cast<long long>(s % 60));
}

// The reason in a sentence's middle; `withName` names the taken name.
QString Reason(const FileProblemNote& note, bool withName) {
    switch (note.problem) {
    case FileProblem::kVanished:
        return Text(StringId::ReasonVanished);
    case FileProblem::kChanged:
        return Text(StringId::ReasonReplaced);
    case FileProblem::kNameTaken:
        return withName && !note.other.isEmpty()
                   ? WithArguments(Text(StringId::ReasonNameTaken), {note.other})
                   : Text(StringId::ReasonNewNameTaken);
    case FileProblem::kTargetIsListed:
        return Text(StringId::ReasonTargetIsListed);
    case FileProblem::kDeclined:
        return Text(StringId::ReasonKept);
    case FileProblem::kTargetLost:
        return Text(StringId::ReasonTargetLost);
    case FileProblem::kCancelled:
        return Text(StringId::CopyCancelled);
    case FileProblem::kSystem:
        break;
    }
    switch (note.error) {
    case ENOSPC:
    case EDQUOT:
        return Text(StringId::ReasonDiskFull);
    case EROFS:
        return Text(StringId::ReasonReadOnly);
    case EACCES:
    case EPERM:
        return Text(StringId::ReasonNoPermission);
    case ENOENT:
        return Text(StringId::ReasonVanished);
    case EEXIST:
        return Text(StringId::ReasonNewNameTaken);
    default:
        break;
    }
    return WithArguments(
        Text(StringId::ReasonSystem),
        {note.error != 0 ? QString::fromLocal8Bit(::strerror(note.error)) : QStringLiteral("?")});
}

struct OperationTexts {
    unsigned caption;
    unsigned perFile;
    unsigned perReason;
};

OperationTexts TextsOf(FileOperation operation) {
    switch (operation) {
    case FileOperation::kDelete:
        return {StringId::DeleteCaption, StringId::DeleteFileFailed, StringId::DeleteFilesFailed};
    case FileOperation::kUnlock:
        return {StringId::TipUnlock, StringId::UnlockFileFailed, StringId::UnlockFilesFailed};
    case FileOperation::kCopy:
    case FileOperation::kNone:
        break;
    }
    return {StringId::TipSaveAs, StringId::CopyFileFailed, StringId::CopyFilesFailed};
}

} // namespace

QString WithArguments(const QString& text, const QStringList& arguments) {
    QString filled;
    qsizetype next = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] == u's') {
            filled += next < arguments.size() ? arguments[next] : QString();
            ++next;
            ++i;
            continue;
        }
        filled += text[i];
    }
    return filled;
}

QString CopyProgressText(const CopyProgress& progress) {
    const QLocale locale;
    QStringList parts;
    parts << WithArguments(Text(StringId::CopyProgressFiles),
                           {Number(progress.filesDone), Number(progress.filesTotal)});
    if (progress.bytesTotal > 0)
        parts << locale.formattedDataSize(progress.bytesDone, 1, QLocale::DataSizeSIFormat) +
                     QStringLiteral(" / ") +
                     locale.formattedDataSize(progress.bytesTotal, 1, QLocale::DataSizeSIFormat);
    const int64_t remaining = progress.RemainingMs();
    if (remaining >= 0)
        parts << WithArguments(Text(StringId::CopyProgressLeft), {Duration(remaining)});
    return parts.join(QStringLiteral(" · "));
}

QString DeleteQuestionText(int recordings, int files) {
    return Text(StringId::DeleteQuestion) + QStringLiteral("\n\n") +
           WithArguments(Text(StringId::DeleteCount), {Number(recordings), Number(files)});
}

OperationMessage OperationReportMessage(const FileOperationReport& report) {
    const OperationTexts texts = TextsOf(report.operation);
    OperationMessage message;
    message.caption = Text(texts.caption);
    QStringList lines;
    if (report.operation == FileOperation::kCopy) {
        if (report.cancelled)
            lines << Text(StringId::CopyCancelled);
        if (report.targetLost)
            lines << WithArguments(Text(StringId::CopyTargetLost),
                                   {Number(report.requested - report.done)});
        lines << WithArguments(Text(StringId::CopyDone),
                               {Number(report.done), Number(report.requested), report.destination});
    }
    // What the user did or what follows from it is said above; the rest
    // is named file by file, or counted per reason where there are many.
    std::vector<const FileProblemNote*> notes;
    for (const FileProblemNote& note : report.problems) {
        if (note.problem != FileProblem::kCancelled && note.problem != FileProblem::kTargetLost)
            notes.push_back(&note);
    }
    if (static_cast<int>(notes.size()) <= kFilesNamedInMessages) {
        QStringList named;
        for (const FileProblemNote* note : notes)
            named << WithArguments(Text(texts.perFile), {NameOf(note->path), Reason(*note, true)});
        if (!named.isEmpty())
            lines << named.join(u'\n');
    } else {
        std::map<QString, int> perReason;
        std::vector<QString> order;
        for (const FileProblemNote* note : notes) {
            const QString reason = Reason(*note, false);
            if (perReason.count(reason) == 0)
                order.push_back(reason);
            perReason[reason] += note->files;
        }
        QStringList counted;
        for (const QString& reason : order)
            counted << WithArguments(Text(texts.perReason), {Number(perReason[reason]), reason});
        lines << counted.join(u'\n');
    }
    message.warning = report.done < report.requested || report.targetRefused;
    if (report.operation != FileOperation::kCopy && !message.warning)
        return OperationMessage{};
    message.text = lines.join(QStringLiteral("\n\n"));
    return message;
}

} // namespace kolvex
