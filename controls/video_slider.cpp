#include "video_slider.h"

#include "control_messages.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>
#include <cstdlib>

namespace kolvex {

CVideoSlider::CVideoSlider(QWidget* parent) : CSkinSlider(WM_SEEK_CHANGED, parent) {
    m_crThumbPressed = QColor(240, 0, 180);
    m_crThumb = QColor(100, 250, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CVideoSlider::SetEventMarks(std::vector<int> positions) {
    m_eventMarks = std::move(positions);
    update();
}

int CVideoSlider::MarkX(int position) const {
    const QRect channel = ChannelRect();
    const int span = std::max(1, maximum() - minimum());
    return channel.left() + (position - minimum()) * (channel.width() - 1) / span;
}

int CVideoSlider::MarkAt(int x) const {
    // Half a thumb either side: a mark is small, a finger is not.
    constexpr int kReach = 5;
    int hit = -1;
    int best = kReach + 1;
    for (size_t i = 0; i < m_eventMarks.size(); ++i) {
        const int distance = std::abs(MarkX(m_eventMarks[i]) - x);
        if (distance < best) {
            best = distance;
            hit = static_cast<int>(i);
        }
    }
    return hit;
}

void CVideoSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    qDrawWinPanel(&painter, rect(), palette(), true);
    // Under the thumb, so that the thumb stays whole where it sits on one.
    for (int position : m_eventMarks) {
        const int x = MarkX(position);
        painter.fillRect(QRect(x - 1, 2, 3, height() - 4), QColor(255, 150, 0));
    }
    PaintThumb(painter);
}

void CVideoSlider::mousePressEvent(QMouseEvent* event) {
    const int mark =
        event->button() == Qt::LeftButton ? MarkAt(event->position().toPoint().x()) : -1;
    if (mark < 0 || ThumbRect().contains(event->position().toPoint())) {
        CSkinSlider::mousePressEvent(event);
        return;
    }
    event->accept();
    setValue(std::max(minimum(), m_eventMarks[static_cast<size_t>(mark)] - m_nMarkLeadPermille));
    update();
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
