#include "video_static.h"

#include "control_messages.h"
#include "outlined_text.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace kolvex {

namespace {

const QColor kSurfaceColour(5, 5, 5);

} // namespace

CVideoStatic::CVideoStatic(QWidget* parent) : QWidget(parent) {
    // The player draws into a window of its own inside this native one; the
    // window system clips our painting to what that window leaves free, and
    // Qt never clears the surface on its own.
    // By default Qt would make every control beside a native window native
    // too, and native windows are opaque: pictures with transparent parts
    // would show black where the window's background belongs. Only the
    // surfaces need windows of their own.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CVideoStatic::SetNotifyWindow(QObject* window) {
    m_pNotifyWindow = window;
}

QObject* CVideoStatic::NotifyWindow() const {
    return m_pNotifyWindow ? m_pNotifyWindow.data() : parentWidget();
}

void CVideoStatic::ShowScanCount(int filesVisited) {
    m_nCounter = filesVisited;
    repaint();
}

void CVideoStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kSurfaceColour);
    if (m_bShowCounter)
        DrawOutlinedCaption(painter, QString::number(m_nCounter), 10, 72);
}

void CVideoStatic::mousePressEvent(QMouseEvent* event) {
    // A single click on a surface does nothing, and does not move the window.
    event->accept();
}

void CVideoStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton)
        SendControlMessage(NotifyWindow(), WM_TOGGLE_FULLSCREEN);
}

} // namespace kolvex
