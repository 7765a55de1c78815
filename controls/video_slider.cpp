#include "video_slider.h"

#include "control_messages.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace kolvex {

CVideoSlider::CVideoSlider(QWidget* parent) : CSkinSlider(WM_SEEK_CHANGED, parent) {
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
