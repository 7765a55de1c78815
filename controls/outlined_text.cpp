#include "outlined_text.h"

#include "text_fonts.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

namespace kolvex {

namespace {

// A linear gradient in the painter's coordinates, repeated beyond its ends.
struct Gradient {
    QPointF from;
    QPointF to;
    QColor fromColour;
    QColor toColour;

    QBrush brush() const {
        QLinearGradient gradient(from, to);
        gradient.setColorAt(0, fromColour);
        gradient.setColorAt(1, toColour);
        gradient.setSpread(QGradient::RepeatSpread);
        // Alpha, red, green and blue each run straight from end to end; the
        // default would blend premultiplied colours and make the fading
        // ends too bright.
        gradient.setInterpolationMode(QGradient::ComponentInterpolation);
        return QBrush(gradient);
    }
};

struct OutlineStyle {
    const char* family;
    QColor glow;
    Gradient firstFill;
    Gradient secondFill;
};

// Colours are written as alpha, red, green, blue.
constexpr QColor Argb(int a, int r, int g, int b) {
    return QColor(r, g, b, a);
}

const OutlineStyle& TitleStyle() {
    static const OutlineStyle style{
        kArialBlackFamily,
        Argb(62, 0, 2, 2),
        {{0, 0}, {0, 90}, Argb(200, 0, 0, 240), Argb(255, 30, 120, 195)},
        {{0, 10}, {0, 60}, Argb(255, 255, 255, 255), Argb(15, 1, 1, 1)}};
    return style;
}

const OutlineStyle& ReadoutStyle() {
    static const OutlineStyle style{
        kArialFamily,
        Argb(80, 160, 80, 2),
        {{0, 0}, {0, 90}, Argb(200, 190, 220, 24), Argb(255, 195, 120, 0)},
        {{0, 10}, {0, 40}, Argb(255, 255, 188, 0), Argb(150, 255, 1, 1)}};
    return style;
}

const OutlineStyle& CaptionStyle() {
    static const OutlineStyle style{
        kArialFamily,
        Argb(80, 10, 150, 220),
        {{0, 0}, {0, 90}, Argb(200, 20, 120, 240), Argb(255, 20, 120, 240)},
        {{0, 10}, {0, 120}, Argb(255, 80, 188, 250), Argb(150, 80, 80, 155)}};
    return style;
}

bool DrawOutlined(QPainter& painter, const OutlineStyle& style, const QString& text, QPoint origin,
                  int emSize) {
    if (!painter.isActive())
        return false;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (emSize <= 0 || text.isEmpty())
        return true;

    const QPainterPath path = OutlinedTextPath(style.family, emSize, origin, text);

    QPen outline(Argb(155, 215, 215, 215), 3, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    outline.setMiterLimit(10);
    painter.strokePath(path, outline);
    // Each wider pass lies over the narrower ones, so the translucent colour
    // builds up towards the letters.
    for (int width = 1; width <= 8; ++width)
        painter.strokePath(path,
                           QPen(style.glow, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.fillPath(path, style.firstFill.brush());
    painter.fillPath(path, style.secondFill.brush());
    return true;
}

} // namespace

QPainterPath OutlinedTextPath(const QString& family, int emSize, QPoint origin,
                              const QString& text) {
    QPainterPath path;
    if (emSize <= 0)
        return path;
    const QFont font = StyleFont(family, emSize);
    // `origin` is the top-left corner of the line box: the baseline lies one
    // ascent below it, and the line starts a sixth of the em size in, the
    // padding the texts were laid out with.
    const QPointF baseline(origin.x() + emSize / 6.0, origin.y() + LineAscent(family, emSize));
    path.addText(baseline, font, text.left(kOutlinedTextMaxLength));
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

QRect OutlinedTitleArea(const QString& text, int emSize) {
    // The widest stroke is the 3-pixel outline with mitre joins up to 10
    // times its half width; the glow reaches 4 pixels.
    constexpr int kReach = 16;
    const QPainterPath path = OutlinedTextPath(TitleStyle().family, emSize, QPoint(50, 4), text);
    return path.boundingRect().toAlignedRect().adjusted(-kReach, -kReach, kReach, kReach);
}

bool DrawOutlinedTitle(QPainter& painter, const QString& text, int emSize) {
    return DrawOutlined(painter, TitleStyle(), text, QPoint(50, 4), emSize);
}

bool DrawOutlinedReadout(QPainter& painter, const QString& text, int x, int y, int emSize) {
    return DrawOutlined(painter, ReadoutStyle(), text, QPoint(x, y), emSize);
}

bool DrawOutlinedCaption(QPainter& painter, const QString& text, int y, int emSize) {
    return DrawOutlined(painter, CaptionStyle(), text, QPoint(10, y), emSize);
}

} // namespace kolvex
