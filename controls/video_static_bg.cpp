#include "video_static_bg.h"

#include "control_messages.h"
#include "skin_image.h"

#include <QMouseEvent>
#include <QPainter>

namespace kolvex {

namespace {

constexpr int kIdlePicture = 196;    // the brand picture, white line art on black
constexpr int kPlayingPicture = 197; // black, behind a playing surface

} // namespace

CVideoStaticBg::CVideoStaticBg(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CVideoStaticBg::SetNotifyWindow(QObject* window) {
    m_pNotifyWindow = window;
}

QObject* CVideoStaticBg::NotifyWindow() const {
    return m_pNotifyWindow ? m_pNotifyWindow.data() : parentWidget();
}

void CVideoStaticBg::SetIdle(int idle) {
    m_bIdle = idle;
    repaint();
}

void CVideoStaticBg::paintEvent(QPaintEvent*) {
    if (m_bmpIdle.isNull() && m_bmpPlaying.isNull()) {
        m_bmpIdle = skin::loadImage(kIdlePicture);
        m_bmpPlaying = skin::loadImage(kPlayingPicture);
    }
    const QImage& picture = m_bIdle == 1 ? m_bmpIdle : m_bmpPlaying;
    QPainter painter(this);
    if (picture.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(rect(), picture);
}

void CVideoStaticBg::mousePressEvent(QMouseEvent* event) {
    // Like the surface in front of it, the frame is no handle for moving
    // the window.
    event->accept();
}

void CVideoStaticBg::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton)
        SendControlMessage(NotifyWindow(), WM_TOGGLE_FULLSCREEN);
}

} // namespace kolvex
