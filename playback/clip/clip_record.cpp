#include "clip_record.h"

#include "clip_readings.h"

#include "library/native_path.h"
#include "library/track_export.h"
#include "map/kml/replacing_file.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <sys/stat.h>

#ifndef KOLVEX_VERSION
#error "KOLVEX_VERSION comes from the build (project version)"
#endif

namespace kolvex {

namespace {

QString Utc(int64_t epochMs) {
    return QDateTime::fromMSecsSinceEpoch(epochMs, QTimeZone::utc()).toString(Qt::ISODateWithMs);
}

// The camera's clock, which has no time zone: its fields as written.
QString CameraTime(int64_t startTime) {
    if (startTime == 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(startTime).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QJsonObject FileFacts(const std::string& path) {
    QJsonObject file;
    file[QStringLiteral("path")] = QString::fromStdString(path);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        file[QStringLiteral("sizeBytes")] = static_cast<qint64>(st.st_size);
        file[QStringLiteral("modifiedUtc")] =
            Utc(static_cast<int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
    }
    file[QStringLiteral("sha256")] = QString::fromStdString(FileSha256(path));
    return file;
}

const char* LayoutName(ClipLayout layout) {
    switch (layout) {
    case ClipLayout::SideBySide:
        return "side";
    case ClipLayout::RearInset:
        return "inset";
    case ClipLayout::Front:
        break;
    }
    return "front";
}

} // namespace

std::string FileSha256(const std::string& path) {
    QFile file(PathFromNative(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex().toStdString();
}

std::string ClipRecordJson(const ClipRequest& request, const ClipResult& result) {
    QJsonObject clip = FileFacts(request.target);
    clip[QStringLiteral("layout")] = QLatin1String(LayoutName(request.layout));
    clip[QStringLiteral("overlay")] = request.overlay;
    clip[QStringLiteral("reencoded")] = !result.streamCopied;
    clip[QStringLiteral("width")] = result.width;
    clip[QStringLiteral("height")] = result.height;
    QJsonArray sources, track;
    int64_t clipMs = 0;
    const bool rearShown = request.layout != ClipLayout::Front;
    for (size_t i = 0; i < request.parts.size(); ++i) {
        const ClipPart& part = request.parts[i];
        const ClipPartRange range =
            i < result.ranges.size() ? result.ranges[i] : ClipPartRange{part.fromMs, part.toMs};
        QJsonObject source;
        source[QStringLiteral("front")] = FileFacts(part.frontPath);
        if (rearShown && !part.rearPath.empty())
            source[QStringLiteral("rear")] = FileFacts(part.rearPath);
        source[QStringLiteral("cameraStartTime")] = CameraTime(part.meta.startTime);
        source[QStringLiteral("fromMs")] = static_cast<qint64>(range.fromMs);
        source[QStringLiteral("toMs")] = static_cast<qint64>(range.toMs);
        source[QStringLiteral("clipFromMs")] = static_cast<qint64>(clipMs);
        sources.append(source);
        CClipReadings readings;
        if (readings.Load(part.frontPath, part.meta)) {
            for (const DecodedGpsSample& s : readings.Gps()) {
                if (s.timeMs < range.fromMs || s.timeMs >= range.toMs || !s.plottable)
                    continue;
                QJsonObject point;
                point[QStringLiteral("clipMs")] =
                    static_cast<qint64>(clipMs + s.timeMs - range.fromMs);
                point[QStringLiteral("latitude")] = s.latitude;
                point[QStringLiteral("longitude")] = s.longitude;
                point[QStringLiteral("altitudeM")] = s.altitude;
                point[QStringLiteral("speedKmh")] = s.speedKmh;
                point[QStringLiteral("headingDeg")] = s.headingDeg;
                track.append(point);
            }
        }
        clipMs += range.toMs - range.fromMs;
    }
    clip[QStringLiteral("durationMs")] = static_cast<qint64>(clipMs);
    QJsonObject program;
    program[QStringLiteral("name")] = QStringLiteral("Kolvex");
    program[QStringLiteral("version")] = QStringLiteral(KOLVEX_VERSION);
    QJsonObject root;
    root[QStringLiteral("clip")] = clip;
    root[QStringLiteral("program")] = program;
    root[QStringLiteral("writtenUtc")] = Utc(QDateTime::currentMSecsSinceEpoch());
    root[QStringLiteral("sources")] = sources;
    root[QStringLiteral("track")] = track;
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

bool WriteClipRecord(const ClipRequest& request, const ClipResult& result, std::string& error) {
    std::vector<GpxSource> gpx;
    for (size_t i = 0; i < request.parts.size(); ++i) {
        const ClipPart& part = request.parts[i];
        GpxSource source{PathFromNative(part.frontPath), part.meta};
        if (i < result.ranges.size()) {
            source.fromMs = result.ranges[i].fromMs;
            source.toMs = result.ranges[i].toMs;
        }
        gpx.push_back(source);
    }
    const QString target = PathFromNative(request.target);
    std::string track;
    WriteGpxTrack(gpx, target.section(u'/', -1), track);
    const std::string record = ClipRecordJson(request, result);
    const std::pair<const char*, const std::string*> files[] = {{".json", &record},
                                                                {".gpx", &track}};
    for (const auto& [suffix, text] : files) {
        CReplacingFile file;
        const QString path = target + QLatin1String(suffix);
        if (!file.Open(path) || !file.Write(*text) || !file.Commit()) {
            error = NativePath(path).toStdString() + ": " + file.Error();
            return false;
        }
    }
    return true;
}

} // namespace kolvex
