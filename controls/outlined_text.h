// Short texts drawn as anti-aliased outlines: a light outline, a soft
// coloured glow and two gradient fills, in the three styles of the window's
// caption, the speed read-out and the captions on the video surfaces.
#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

namespace kolvex {

// Longer texts are cut to this many characters.
inline constexpr int kOutlinedTextMaxLength = 127;

// Each draws on `painter` in its coordinates and returns false only when the
// painter is not active. The painter keeps anti-aliasing and smooth picture
// transforms switched on afterwards.
//
// Title: "Arial Black", top-left of the line at (50, 4).
bool DrawOutlinedTitle(QPainter& painter, const QString& text, int emSize);
// Read-out: "Arial", top-left of the line at (x, y).
bool DrawOutlinedReadout(QPainter& painter, const QString& text, int x, int y, int emSize);
// Caption: "Arial", top-left of the line at (10, y).
bool DrawOutlinedCaption(QPainter& painter, const QString& text, int y, int emSize);

// The area DrawOutlinedTitle paints on, its outline and glow included: a
// repaint elsewhere can leave the title alone.
QRect OutlinedTitleArea(const QString& text, int emSize);

// The outline of `text` as the routines above draw it: the line's top-left
// at `origin`, em size `emSize` pixels, odd-even fill.
QPainterPath OutlinedTextPath(const QString& family, int emSize, QPoint origin,
                              const QString& text);

} // namespace kolvex
