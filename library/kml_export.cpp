// The current recording's track as a KML file.
#include "recording_manager.h"

#include "file_system.h"
#include "native_path.h"
#include "track_export.h"

#include "map/kml/kml_writer.h"
#include "tracks/recording_blocks.h"
#include "tracks/track_math.h"

#include <QStandardPaths>

#include <ctime>

namespace kolvex {

namespace {

QString FormatLocalTime(int64_t startTime, const char* format) {
    const std::time_t t = static_cast<std::time_t>(startTime);
    std::tm fields{};
    char text[64] = {};
    if (localtime_r(&t, &fields))
        std::strftime(text, sizeof text, format, &fields);
    return QString::fromLatin1(text);
}

} // namespace

bool IsExportedSample(const GpsSample& sample) {
    return IsPlottable(sample);
}

namespace {

bool GetExportFolder(const QString& name, QString& folder) {
    folder.clear();
    // Without a home folder Qt puts the documents folder at the root of the
    // file system ("/Documents"): that is no user's folder, so say instead
    // that there is none.
    const QByteArray home = qgetenv("HOME");
    if (home.isEmpty() || !home.startsWith('/'))
        return false;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !documents.startsWith(u'/'))
        return false;
    if (!documents.endsWith(u'/'))
        documents += u'/';
    folder = documents + QStringLiteral("KOLVEX/") + name + u'/';
    if (IsDirectory(folder))
        return true;
    return CreateDirectoryPath(folder);
}

} // namespace

bool GetKmlFolder(QString& folder) {
    return GetExportFolder(QStringLiteral("KML"), folder);
}

bool GetGpxFolder(QString& folder) {
    return GetExportFolder(QStringLiteral("GPX"), folder);
}

QString GpxFileName(const QString& recordingName, int64_t startTime) {
    QString name = KmlFileName(recordingName, startTime);
    name.chop(4);
    return name + QStringLiteral(".GPX");
}

QString KmlFileName(const QString& recordingName, int64_t startTime) {
    return recordingName.left(std::max<qsizetype>(0, recordingName.size() - 4)) +
           FormatLocalTime(startTime, "_%Y_%m_%d_%H-%M-%S") + QStringLiteral(".KML");
}

bool CRecordingManager::HoldExportEntry() {
    // With no recording there is nothing to name the file after.
    if (m_entries.empty())
        return false;
    if (m_nCurFile >= static_cast<int>(m_entries.size()))
        m_nCurFile = static_cast<int>(m_entries.size()) - 1;
    return m_nCurFile >= 0;
}

bool CRecordingManager::ExportKml(const QString& folder, QString& path, std::string* error) {
    if (!HoldExportEntry())
        return false;
    const RecordingEntry& entry = m_entries[static_cast<size_t>(m_nCurFile)];
    const QString fullPath = folder + KmlFileName(entry.name, entry.meta.startTime);
    CKmlWriter writer;
    if (!writer.OpenKmlFile(fullPath)) {
        path = fullPath;
        if (error)
            *error = writer.LastError();
        return false;
    }
    // The document must be UTF-8 whatever bytes the names hold; the file
    // itself keeps the recording's name as the file system gives it.
    const QString pathDescription = u'"' + DisplayPath(entry.subdir + u'/' + entry.name) + u'"' +
                                    FormatLocalTime(entry.meta.startTime, " %Y/%m/%d %H:%M:%S");
    bool ok = writer.WriteKmlHeader(DisplayPath(entry.name), QString(), pathDescription);
    std::vector<uint8_t> block;
    const bool read = CurrentGpsBlock(block);
    const size_t count = block.size() / kGpsSampleSize;
    for (size_t i = 0; i < count; ++i) {
        const GpsSample sample = LoadGpsSample(block.data() + i * kGpsSampleSize);
        if (IsExportedSample(sample))
            ok = writer.WriteKmlPoint(DdmmToDegrees(sample.latitude / 100),
                                      DdmmToDegrees(sample.longitude / 100), sample.altitude) &&
                 ok;
    }
    path = fullPath;
    if (!read) {
        // A track cut short by an unreadable recording is not written at
        // all: an existing file of that name stays as it was.
        writer.Abandon();
        if (error)
            *error = "the recording's GPS block cannot be read";
        return false;
    }
    ok = writer.WriteKmlFooter() && ok;
    if (!ok && error)
        *error = writer.LastError();
    return ok;
}

bool CRecordingManager::CurrentGpsBlock(std::vector<uint8_t>& block) const {
    const RecordingEntry& entry = m_entries[static_cast<size_t>(m_nCurFile)];
    const QString path = GetPath(m_nCurFile);
    if (path == m_strDataPath) {
        block.assign(m_gpsData.begin(), m_gpsData.begin() + m_nGpsDataSize);
        return true;
    }
    // The buffers hold another recording (the list changed since it was
    // loaded): read the current one's block from its file.
    if (entry.meta.telemetry == TelemetryFormat::Camera && !IsReadableBlockSize(entry.meta.gpsSize))
        return true;
    RecordingBlocks blocks;
    if (!IsRegularFile(path) ||
        !ReadRecordingBlocks(NativePath(path).toStdString(), entry.meta, blocks, kGpsBlock) ||
        !blocks.gpsWhole)
        return false;
    block = std::move(blocks.gps);
    return true;
}

} // namespace kolvex
