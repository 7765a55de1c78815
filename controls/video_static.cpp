#include "video_static.h"

#include "control_messages.h"
#include "outlined_text.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRasterWindow>

namespace kolvex {

namespace {

const QColor kSurfaceColour(5, 5, 5);

} // namespace

// The window the player draws into. Qt paints it only when asked (an
// expose or the scan counter); the player's own child window lies on top
// of it while a recording plays, and the X server keeps our painting out.
class CVideoSurfaceWindow : public QRasterWindow {
public:
    explicit CVideoSurfaceWindow(CVideoStatic* owner) : m_pOwner(owner) {}

    // Paints now, without waiting for the event loop.
    void PaintNow() {
        update(); // marks the whole window dirty; the request paints it
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(this, &request);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_pOwner->PaintSurface(painter, QRect(QPoint(0, 0), size()));
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        event->accept();
        m_pOwner->OnDoubleClick(event->button());
    }

private:
    CVideoStatic* m_pOwner;
};

CVideoStatic::CVideoStatic(QWidget* parent) : QWidget(parent) {
    // Only the surfaces need windows of their own: by default Qt would make
    // every control beside a native window native too, and native windows
    // are opaque, so pictures with transparent parts would show black.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_pSurface = new CVideoSurfaceWindow(this);
    // A click on the picture must leave the keyboard with the main window
    // (its keys work on, whatever was clicked).
    m_pSurface->setFlag(Qt::WindowDoesNotAcceptFocus);
    m_pContainer = QWidget::createWindowContainer(m_pSurface, this);
    m_pContainer->setAttribute(Qt::WA_DontCreateNativeAncestors);
    m_pContainer->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::NoFocus);
}

CVideoStatic::~CVideoStatic() = default;

void CVideoStatic::SetNotifyWindow(QObject* window) {
    m_pNotifyWindow = window;
}

QObject* CVideoStatic::NotifyWindow() const {
    return m_pNotifyWindow ? m_pNotifyWindow.data() : parentWidget();
}

WId CVideoStatic::SurfaceWinId() const {
    return m_pSurface->winId();
}

QWindow* CVideoStatic::SurfaceWindow() const {
    return m_pSurface;
}

void CVideoStatic::ShowScanCount(int filesVisited) {
    m_nCounter = filesVisited;
    repaint();
    if (m_pSurface->isExposed())
        m_pSurface->PaintNow();
}

void CVideoStatic::PaintSurface(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, kSurfaceColour);
    if (m_bShowCounter)
        DrawOutlinedCaption(painter, QString::number(m_nCounter), 10, 72);
}

void CVideoStatic::paintEvent(QPaintEvent*) {
    // Seen only where the contained window is not (a grab of the widget).
    QPainter painter(this);
    PaintSurface(painter, rect());
}

void CVideoStatic::resizeEvent(QResizeEvent*) {
    m_pContainer->setGeometry(rect());
}

void CVideoStatic::mousePressEvent(QMouseEvent* event) {
    // A single click on a surface does nothing, and does not move the window.
    event->accept();
}

void CVideoStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    OnDoubleClick(event->button());
}

void CVideoStatic::OnDoubleClick(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        SendControlMessage(NotifyWindow(), WM_TOGGLE_FULLSCREEN);
}

} // namespace kolvex
