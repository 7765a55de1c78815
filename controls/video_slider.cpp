#include "video_slider.h"

#include "control_messages.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace kolvex {

CVideoSlider::CVideoSlider(QWidget* parent) : CSkinSlider(parent) {
    m_crThumbPressed = QColor(240, 0, 180);
    m_crThumb = QColor(100, 250, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CVideoSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    qDrawWinPanel(&painter, rect(), palette(), true);
    PaintThumb(painter);
}

void CVideoSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // No message yet: a click seeks once, on its release.
    setValue(PositionFromX(event->position().toPoint().x()));
    m_bDragging = 1;
    update();
}

void CVideoSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bDragging) {
        event->ignore();
        return;
    }
    setValue(PositionFromX(event->position().toPoint().x()));
    NotifyParent(WM_SEEK_CHANGED);
}

void CVideoSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bDragging) {
        event->ignore();
        return;
    }
    m_bDragging = 0;
    setValue(PositionFromX(event->position().toPoint().x()));
    update();
    NotifyParent(WM_SEEK_CHANGED);
}

} // namespace kolvex
