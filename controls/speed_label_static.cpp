#include "speed_label_static.h"

#include "outlined_text.h"

#include <QMouseEvent>
#include <QPainter>

namespace kolvex {

CSpeedLabelStatic::CSpeedLabelStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    BuildStrings();
}

void CSpeedLabelStatic::SetSpeed(bool valid, uint16_t kmh) {
    m_bValid = valid ? 1 : 0;
    m_nSpeedKmh = kmh;
    BuildStrings();
    update();
}

void CSpeedLabelStatic::ToggleUnit() {
    m_bKmh = !m_bKmh;
    BuildStrings();
}

void CSpeedLabelStatic::BuildStrings() {
    m_strUnit = m_bKmh ? QStringLiteral("Km/h") : QStringLiteral("MPH");
    // Miles per hour as 10/16 of the km/h, truncated.
    const int shown = m_bKmh ? m_nSpeedKmh : m_nSpeedKmh * 10 / 16;
    m_strSpeed = QString::asprintf("%3d", shown);
}

void CSpeedLabelStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(5, 5, 5));
    if (!m_bValid)
        return;
    DrawOutlinedReadout(painter, m_strSpeed, 0, 10, 20);
    DrawOutlinedReadout(painter, m_strUnit, 40, 18, 12);
}

void CSpeedLabelStatic::mousePressEvent(QMouseEvent* event) {
    // Accepting the press keeps the mouse until the release.
    event->setAccepted(event->button() == Qt::LeftButton);
}

void CSpeedLabelStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (rect().contains(event->position().toPoint())) {
        ToggleUnit();
        update();
    }
}

void CSpeedLabelStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    ToggleUnit();
    update();
}

} // namespace kolvex
