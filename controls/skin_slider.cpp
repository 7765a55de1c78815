#include "skin_slider.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "control_messages.h"

#include <QPainter>

#include <algorithm>

namespace kolvex {

CSkinSlider::CSkinSlider(int changedMessage, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), m_nChangedMessage(changedMessage) {}

void CSkinSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setValue(PositionFromX(event->position().toPoint().x()));
    m_bDragging = 1;
    update();
}

void CSkinSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bDragging) {
        event->ignore();
        return;
    }
    setValue(PositionFromX(event->position().toPoint().x()));
    NotifyParent(m_nChangedMessage);
}

QRect CSkinSlider::ThumbRect() const {
    const QRect channel = ChannelRect();
    const int span = maximum() - minimum();
    const int centre =
        channel.left() + (span > 0 ? static_cast<int>(static_cast<long long>(value() - minimum()) *
                                                      channel.width() / span)
                                   : 0);
    const int size = std::max(6, height() - 6);
    return QRect(centre - size / 2, (height() - size) / 2, size, size);
}

QRect CSkinSlider::ChannelRect() const {
    // Half a thumb free at either end, so that the thumb stays inside.
    const int margin = std::max(6, height() - 6) / 2 + 1;
    return QRect(margin, height() / 2 - 2, std::max(0, width() - 2 * margin), 4);
}

int CSkinSlider::PositionFromX(int x) const {
    const QRect channel = ChannelRect();
    if (channel.width() == 0)
        return value();
    return static_cast<int>(static_cast<long long>(x - channel.left()) * (maximum() - minimum()) /
                            channel.width());
}

void CSkinSlider::PaintThumb(QPainter& painter) const {
    QColor fill = m_bDragging ? m_crThumbPressed : m_crThumb;
    if (!fill.isValid())
        fill = palette().color(m_bDragging ? QPalette::Highlight : QPalette::Button);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(ThumbRect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void CSkinSlider::NotifyParent(int message) {
    SendControlMessage(parentWidget(), static_cast<ControlMessage>(message));
}

void CSkinSlider::keyPressEvent(QKeyEvent* event) {
    event->ignore();
}

} // namespace kolvex
