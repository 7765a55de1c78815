#include "media_probe.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cmath>
#include <cstdlib>

namespace kolvex::testing {

namespace {

QByteArray Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

} // namespace

MediaFacts Probe(const QString& file) {
    MediaFacts facts;
    const QByteArray text =
        Run(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_format"),
             QStringLiteral("-show_streams"), QStringLiteral("-of"), QStringLiteral("json"), file});
    const QJsonObject root = QJsonDocument::fromJson(text).object();
    if (root.isEmpty())
        return facts;
    facts.read = true;
    facts.durationSec =
        root[QStringLiteral("format")][QStringLiteral("duration")].toString().toDouble();
    facts.startSec =
        root[QStringLiteral("format")][QStringLiteral("start_time")].toString().toDouble();
    for (const QJsonValue& s : root[QStringLiteral("streams")].toArray()) {
        StreamFacts stream;
        stream.codec = s[QStringLiteral("codec_name")].toString();
        stream.kind = s[QStringLiteral("codec_type")].toString();
        stream.width = s[QStringLiteral("width")].toInt();
        stream.height = s[QStringLiteral("height")].toInt();
        facts.streams.push_back(stream);
    }
    return facts;
}

Picture DecodeLuma(const QString& file, double seconds, int width, int height) {
    const MediaFacts facts = Probe(file);
    Picture picture;
    for (const StreamFacts& s : facts.streams) {
        if (s.kind == QLatin1String("video")) {
            picture.width = width ? width : s.width;
            picture.height = height ? height : s.height;
            break;
        }
    }
    QStringList args{QStringLiteral("-v"),        QStringLiteral("error"),
                     QStringLiteral("-ss"),       QString::number(seconds, 'f', 3),
                     QStringLiteral("-i"),        file,
                     QStringLiteral("-frames:v"), QStringLiteral("1")};
    if (width && height)
        args << QStringLiteral("-vf") << QStringLiteral("scale=%1:%2").arg(width).arg(height);
    args << QStringLiteral("-f") << QStringLiteral("rawvideo") << QStringLiteral("-pix_fmt")
         << QStringLiteral("gray") << QStringLiteral("-");
    picture.luma = Run(QStringLiteral("ffmpeg"), args);
    if (picture.luma.size() != static_cast<qsizetype>(picture.width) * picture.height)
        picture = Picture{};
    return picture;
}

double MeanDifference(const Picture& a, const Box& area, const Picture& b, int bx, int by,
                      const Box& skip) {
    double sum = 0;
    long count = 0;
    for (int y = area.y; y < area.y + area.h; ++y) {
        for (int x = area.x; x < area.x + area.w; ++x) {
            if (skip.w > 0 && skip.Contains(x, y))
                continue;
            sum += std::abs(a.At(x, y) - b.At(x - area.x + bx, y - area.y + by));
            ++count;
        }
    }
    return count ? sum / static_cast<double>(count) : 1e9;
}

QString ReadText(const QString& file, double seconds, const Box& box) {
    const QString image = file + QStringLiteral(".ocr.png");
    Run(QStringLiteral("ffmpeg"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-ss"),
         QString::number(seconds, 'f', 3), QStringLiteral("-i"), file, QStringLiteral("-frames:v"),
         QStringLiteral("1"), QStringLiteral("-vf"),
         QStringLiteral("crop=%1:%2:%3:%4,scale=iw*2:ih*2,format=gray,negate")
             .arg(box.w)
             .arg(box.h)
             .arg(box.x)
             .arg(box.y),
         image});
    const QByteArray text =
        Run(QStringLiteral("tesseract"),
            {image, QStringLiteral("-"), QStringLiteral("--psm"), QStringLiteral("6")});
    QFile::remove(image);
    return QString::fromUtf8(text).simplified();
}

QString Sha256Sum(const QString& file) {
    return QString::fromLatin1(Run(QStringLiteral("sha256sum"), {file}).left(64));
}

} // namespace kolvex::testing
