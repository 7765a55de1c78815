#include "encoded_clip.h"

#include <QDir>
#include <QProcess>

QString EncodeClip(const QString& folder, const ClipSpec& spec, QString* error) {
    const QString path = QDir(folder).filePath(spec.fileName);
    // "name" takes its options after '=', "name=options" after ':'.
    const QChar separator = spec.source.contains('=') ? ':' : '=';
    const QString source = QStringLiteral("%1%2size=%3x%4:rate=%5:duration=%6")
                               .arg(spec.source, separator)
                               .arg(spec.width)
                               .arg(spec.height)
                               .arg(spec.fps)
                               .arg(spec.seconds);
    // ultrafast and few threads: the machine's cores are shared, and the
    // tests need a valid stream, not a small one.
    const QStringList arguments = {"-hide_banner",
                                   "-loglevel",
                                   "error",
                                   "-nostdin",
                                   "-y",
                                   "-f",
                                   "lavfi",
                                   "-i",
                                   source,
                                   "-c:v",
                                   "libx264",
                                   "-preset",
                                   "ultrafast",
                                   "-pix_fmt",
                                   "yuv420p",
                                   "-g",
                                   QString::number(spec.fps),
                                   "-threads",
                                   "2",
                                   path};
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"), arguments);
    if (!ffmpeg.waitForStarted()) {
        *error = QStringLiteral("ffmpeg could not be started: ") + ffmpeg.errorString();
        return {};
    }
    if (!ffmpeg.waitForFinished(300'000) || ffmpeg.exitStatus() != QProcess::NormalExit ||
        ffmpeg.exitCode() != 0) {
        *error = QStringLiteral("ffmpeg failed for %1: %2")
                     .arg(spec.fileName, QString::fromLocal8Bit(ffmpeg.readAll()));
        return {};
    }
    return path;
}
