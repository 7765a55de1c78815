#include "scanned_recording.h"

#include "file_identity.h"
#include "file_system.h"
#include "native_path.h"
#include "rear_file.h"
#include "recording_name.h"

#include "tracks/kolvex_3gp_parser.h"
#include "tracks/kolvex_avi_parser.h"

#include <sys/stat.h>

namespace kolvex {

std::unique_ptr<CKolvexVideoParser> ParserForName(const QString& name) {
    if (name.endsWith(QStringLiteral(".AVI"), Qt::CaseSensitive))
        return std::make_unique<CKolvexAviParser>();
    return std::make_unique<CKolvex3gpParser>();
}

namespace {

// The name's identity (not following a final link) and whether the file it
// leads to is read-only for its owner, with one status call for a file.
bool IdentifyLocked(const QString& path, FileIdentity& identity) {
    struct stat st;
    if (::lstat(NativePath(path).constData(), &st) != 0) {
        identity = FileIdentity{};
        return false;
    }
    identity = IdentityFromStat(st);
    return S_ISLNK(st.st_mode) ? IsOwnerReadOnly(path) : (st.st_mode & S_IWUSR) == 0;
}

} // namespace

FileIdentity RearIdentityOf(const QString& frontPath, const FileIdentity& front) {
    const QString rear = FindRearFile(frontPath);
    if (rear.isEmpty())
        return FileIdentity{};
    const FileIdentity identity = IdentityOf(rear);
    return IsSameObject(identity, front) ? FileIdentity{} : identity;
}

QString ScannedPath(const QString& openedFolder, const QString& relativePath, const QString& name) {
    return openedFolder + u'/' + relativePath + u'/' + name;
}

bool IsScanCandidate(const QString& name, ScanCandidate& candidate) {
    candidate.namingRule = IsRecordingFileName(name, candidate.event);
    candidate.layout = ParseLayoutName(name);
    return candidate.namingRule || candidate.layout.layout != CardLayout::None;
}

bool FollowsOtherLayout(const ScanCandidate& candidate, const VideoMetaInfo& meta) {
    if (candidate.layout.layout == CardLayout::None)
        return false;
    return !candidate.namingRule || !CarriesCameraRecords(meta);
}

std::optional<RecordingEntry> ReadScannedRecording(const QString& openedFolder,
                                                   const QString& relativePath, const QString& name,
                                                   const ScanCandidate& candidate) {
    // Another camera's rear file is played beside its front file and never
    // listed on its own, whatever it holds: it is not read.
    if (candidate.layout.rear && !candidate.namingRule)
        return std::nullopt;
    const QString fullPath = ScannedPath(openedFolder, relativePath, name);
    RecordingEntry entry;
    entry.root = openedFolder;
    entry.subdir = relativePath;
    entry.name = name;
    if (candidate.namingRule && candidate.event)
        entry.flags |= kRecordingEvent;
    if (IdentifyLocked(fullPath, entry.file))
        entry.flags |= kRecordingLocked;
    std::unique_ptr<CKolvexVideoParser> parser = ParserForName(name);
    parser->SetResultRecord(&entry.meta);
    // A rear file that also follows the naming rule is listed only when it
    // carries the camera's records; what else it holds does not matter.
    if (candidate.layout.rear)
        parser->SetOtherTelemetrySought(false);
    if (parser->Parse(NativePath(fullPath).toStdString()) != 0)
        return std::nullopt;
    if (FollowsOtherLayout(candidate, entry.meta)) {
        if (candidate.layout.rear)
            return std::nullopt;
        ApplyLayout(entry, candidate.layout, IsInEventFolder(openedFolder, relativePath));
    }
    entry.rear = RearIdentityOf(fullPath, entry.file);
    return entry;
}

} // namespace kolvex
