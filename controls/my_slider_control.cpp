#include "my_slider_control.h"

#include "control_messages.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace kolvex {

CMySliderControl::CMySliderControl(QWidget* parent) : CSkinSlider(WM_VOLUME_CHANGED, parent) {
    m_crThumb = QColor(255, 0, 0);
    m_crThumbPressed = QColor(170, 0, 0);
}

void CMySliderControl::paintEvent(QPaintEvent*) {
    // Nothing under the channel: the parent's skin, painted first, shows
    // through wherever the slider stands.
    QPainter painter(this);
    QRect channel = ChannelRect();
    if (height() > width())
        channel.adjust(-1, 0, 1, 0);
    else
        channel.adjust(0, -2, 0, 2);
    qDrawWinPanel(&painter, channel, palette(), true);
    PaintThumb(painter);
}

void CMySliderControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bDragging) {
        event->ignore();
        return;
    }
    // The release keeps the position the press or the last move gave.
    m_bDragging = 0;
    update();
    NotifyParent(WM_VOLUME_CHANGED);
}

} // namespace kolvex
