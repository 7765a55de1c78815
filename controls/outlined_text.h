// Temporary: replaced by the outlined-text styles of the controls work.
#pragma once
#include <QPainter>
#include <QString>
namespace kolvex {
inline void DrawOutlinedTitle(QPainter& painter, const QString& text, int emSize, QPointF origin) {
    QFont font(QStringLiteral("Arial Black"));
    font.setPixelSize(emSize);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(origin + QPointF(0, emSize), text);
}
} // namespace kolvex
