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
    if (!m_bValid) {
        painter.fillRect(rect(), QColor(5, 5, 5));
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QString drawn = m_strSpeed + QLatin1Char('|') + m_strUnit;
    if (m_drawnSize != size() || m_drawnRatio != ratio) {
        m_drawings.clear(); // drawn for another size
        m_drawnSize = size();
        m_drawnRatio = ratio;
    }
    // Outlined text costs milliseconds while a drive shows the same few
    // dozen speeds over and over: each reading is drawn once and kept.
    auto found = m_drawings.find(drawn);
    if (found == m_drawings.end()) {
        if (m_drawings.size() >= kMaxDrawings)
            m_drawings.clear();
        QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(QColor(5, 5, 5));
        QPainter onImage(&image);
        DrawOutlinedReadout(onImage, m_strSpeed, 0, 10, 20);
        DrawOutlinedReadout(onImage, m_strUnit, 40, 18, 12);
        onImage.end();
        found = m_drawings.emplace(drawn, std::move(image)).first;
    }
    m_drawn = found->second;
    painter.drawImage(QPoint(0, 0), m_drawn);
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
