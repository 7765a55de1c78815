// What ffprobe and ffmpeg (from Debian's ffmpeg package, in tests only)
// say about a clip: its streams, its length and its pictures.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace kolvex::testing {

struct StreamFacts {
    QString codec;
    QString kind; // "video" or "audio"
    int width = 0, height = 0;
};

struct MediaFacts {
    bool read = false;
    double durationSec = 0; // the container's
    double startSec = 0;
    std::vector<StreamFacts> streams;
};

MediaFacts Probe(const QString& file);

// The luma plane of the picture shown at `seconds` of `file`, scaled to
// width x height when both are given; empty when it cannot be decoded.
struct Picture {
    int width = 0, height = 0;
    QByteArray luma;
    int At(int x, int y) const { return static_cast<unsigned char>(luma[y * width + x]); }
};
Picture DecodeLuma(const QString& file, double seconds, int width = 0, int height = 0);

// The mean absolute luma difference over a rectangle, `b` offset by
// (bx, by); the rectangle `skip` (in a's coordinates) is left out.
struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};
double MeanDifference(const Picture& a, const Box& area, const Picture& b, int bx, int by,
                      const Box& skip = {});

// What tesseract reads in a rectangle of the picture at `seconds` (made
// twice as large and turned to dark text on light, as it reads best).
QString ReadText(const QString& file, double seconds, const Box& box);

// sha256sum's answer for a file.
QString Sha256Sum(const QString& file);

} // namespace kolvex::testing
