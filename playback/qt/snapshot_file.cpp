#include "snapshot_file.h"

#include "vlc_player.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>

namespace {

constexpr int kJpegQuality = 95;

bool writePngAsIs(const QString& pngPath, const QString& path) {
    QFile png(pngPath);
    if (!png.open(QIODevice::ReadOnly)) {
        return false;
    }
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(png.readAll()) == png.size() && out.commit();
}

bool convert(const QString& pngPath, const QString& path, const QByteArray& format) {
    const QImage picture(pngPath, "png");
    if (picture.isNull()) {
        return false;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    QImageWriter writer(&out, format);
    if (format == "jpeg") {
        writer.setQuality(kJpegQuality);
    }
    return writer.write(picture) && out.commit();
}

} // namespace

bool SaveSnapshot(CVlcPlayer& player, const QString& path) {
    QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format == "jpg") {
        format = "jpeg";
    }
    if (!player.m_bUsable || format.isEmpty() ||
        !QImageWriter::supportedImageFormats().contains(format)) {
        return false;
    }
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return false;
    }
    // libVLC writes the snapshot before the call returns.
    const QString pngPath = scratch.filePath(QStringLiteral("snapshot.png"));
    player.TakeSnapshot(pngPath.toUtf8().constData());
    if (!QFileInfo::exists(pngPath)) {
        return false;
    }
    return format == "png" ? writePngAsIs(pngPath, path) : convert(pngPath, path, format);
}
