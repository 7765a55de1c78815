// A video surface: the native window a player draws its picture into.
// While a folder is scanned the front surface shows how many files were
// visited; a double-click asks the main window to toggle full screen.
//
// The native window is a window of its own (QRasterWindow) inside a window
// container, not a native widget: the map's browser makes Qt compose the
// main window through OpenGL, and a native child widget then can no longer
// show its own painting (the scan counter); a contained window paints
// itself, whatever the main window does.
#pragma once

#include "library/instrument_views.h"

#include <QPointer>
#include <QWidget>

class QWindow;

namespace kolvex {

class CVideoSurfaceWindow;

class CVideoStatic : public QWidget, public IScanCounterView {
    Q_OBJECT

public:
    explicit CVideoStatic(QWidget* parent = nullptr);
    ~CVideoStatic() override;

    // Receives WM_TOGGLE_FULLSCREEN; the parent widget when none is set.
    void SetNotifyWindow(QObject* window);
    QObject* NotifyWindow() const;

    // The native window id to hand to the player.
    WId SurfaceWinId() const;
    QWindow* SurfaceWindow() const;

    // Writes m_nCounter and repaints at once: the scan runs on the
    // user-interface thread without returning to the event loop.
    void ShowScanCount(int filesVisited) override;

    // What the surface shows where no picture covers it.
    void PaintSurface(QPainter& painter, const QRect& area) const;

    // Owners write these and call update().
    bool m_bShowCounter = false; // draw m_nCounter
    int m_nCounter = 0;          // files visited by the running scan

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class CVideoSurfaceWindow;
    void OnDoubleClick(Qt::MouseButton button);

    QPointer<QObject> m_pNotifyWindow;
    CVideoSurfaceWindow* m_pSurface = nullptr; // owned by the container
    QWidget* m_pContainer = nullptr;
};

} // namespace kolvex
