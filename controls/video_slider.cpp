#include "video_slider.h"

#include "control_messages.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <qdrawutil.h>

#include <algorithm>
#include <cstdlib>

namespace kolvex {

CVideoSlider::CVideoSlider(QWidget* parent) : CSkinSlider(WM_SEEK_CHANGED, parent) {
    m_crThumbPressed = QColor(240, 0, 180);
    m_crThumb = QColor(100, 250, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The time under the mouse follows it without a button held.
    setMouseTracking(true);
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

void CVideoSlider::SetTimes(int64_t positionMs, int64_t lengthMs, int64_t cameraStart) {
    if (lengthMs < 0)
        positionMs = -1;
    positionMs = lengthMs > 0 ? std::clamp<int64_t>(positionMs, 0, lengthMs) : positionMs;
    if (positionMs / 1000 == m_nPositionMs / 1000 && lengthMs / 1000 == m_nLengthMs / 1000 &&
        cameraStart == m_nCameraStart && (positionMs < 0) == (m_nPositionMs < 0))
        return; // the read-out shows whole seconds: nothing to redraw
    m_nPositionMs = positionMs;
    m_nLengthMs = lengthMs;
    m_nCameraStart = cameraStart;
    update();
}

QString CVideoSlider::FormatDuration(int64_t ms) {
    const int64_t seconds = std::max<int64_t>(0, ms) / 1000;
    const auto two = [](int64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QChar('0')); };
    if (seconds >= 3600)
        return QString::number(seconds / 3600) + ':' + two(seconds / 60 % 60) + ':' +
               two(seconds % 60);
    return two(seconds / 60) + ':' + two(seconds % 60);
}

QString CVideoSlider::TimeOfDayAt(int64_t ms) const {
    if (m_nCameraStart < 0 || ms < 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(m_nCameraStart + ms / 1000)
        .toString(QStringLiteral("HH:mm:ss"));
}

QString CVideoSlider::PositionText() const {
    if (m_nPositionMs < 0 || m_nLengthMs < 0)
        return {};
    return FormatDuration(m_nPositionMs) + QStringLiteral(" / ") + FormatDuration(m_nLengthMs);
}

QString CVideoSlider::TimeOfDayText() const {
    return TimeOfDayAt(m_nPositionMs);
}

QString CVideoSlider::TimeAtX(int x) const {
    if (m_nLengthMs <= 0)
        return {};
    const int span = std::max(1, maximum() - minimum());
    const int position = std::clamp(PositionFromX(x), minimum(), maximum());
    const int64_t ms = static_cast<int64_t>(position - minimum()) * m_nLengthMs / span;
    const QString clock = TimeOfDayAt(ms);
    return clock.isEmpty() ? FormatDuration(ms) : FormatDuration(ms) + QStringLiteral("  ") + clock;
}

void CVideoSlider::mouseMoveEvent(QMouseEvent* event) {
    // The time under the mouse, while it rests or drags on the slider.
    const QString text = TimeAtX(event->position().toPoint().x());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, this, rect());
    CSkinSlider::mouseMoveEvent(event);
}

void CVideoSlider::leaveEvent(QEvent* event) {
    QToolTip::hideText();
    CSkinSlider::leaveEvent(event);
}

void CVideoSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    qDrawWinPanel(&painter, rect(), palette(), true);
    // The time read-out, under the marks and the thumb.
    const QString position = PositionText();
    if (!position.isEmpty()) {
        QFont font = painter.font();
        font.setPixelSize(std::max(8, height() - 8));
        painter.setFont(font);
        painter.setPen(QColor(190, 190, 190));
        const QRect text =
            rect().adjusted(ChannelRect().left() + 2, 0, -ChannelRect().left() - 2, 0);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, position);
        painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter, TimeOfDayText());
    }
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
