#include "snapshot_name.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kolvex {

QString SnapshotBaseName(const QString& recordingPath, int64_t timeMs) {
    const int64_t seconds = timeMs > 0 ? timeMs / 1000 : 0;
    const auto two = [](int64_t value) {
        return QStringLiteral("%1").arg(value, 2, 10, QChar('0'));
    };
    QString time = two(seconds / 60 % 60) + QLatin1Char('-') + two(seconds % 60);
    if (seconds >= 3600)
        time = QString::number(seconds / 3600) + QLatin1Char('-') + time;
    const QString name = QFileInfo(recordingPath).completeBaseName();
    return (name.isEmpty() ? QStringLiteral("snapshot") : name) + QLatin1Char('_') + time;
}

QString FilterExtension(const QString& nameFilter) {
    return nameFilter.contains(QLatin1String("*.png"), Qt::CaseInsensitive) ? QStringLiteral("png")
                                                                            : QStringLiteral("jpg");
}

bool HasSnapshotExtension(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
           suffix == QLatin1String("png");
}

QString SnapshotFileFor(const QString& chosen, const QString& nameFilter) {
    if (chosen.isEmpty() || HasSnapshotExtension(chosen))
        return chosen;
    return chosen + QLatin1Char('.') + FilterExtension(nameFilter);
}

QString WithFilterExtension(const QString& fileName, const QString& nameFilter) {
    if (!HasSnapshotExtension(fileName))
        return fileName;
    const QString suffix = QFileInfo(fileName).suffix();
    return fileName.left(fileName.size() - suffix.size()) + FilterExtension(nameFilter);
}

QString SnapshotFolder(const QString& remembered) {
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QDir().mkpath(pictures))
        return pictures;
    return QDir::homePath();
}

} // namespace kolvex
