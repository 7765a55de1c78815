// A video surface: the native child window a player draws its picture into.
// While a folder is scanned the front surface shows how many files were
// visited; a double-click asks the main window to toggle full screen.
#pragma once

#include "library/instrument_views.h"

#include <QPointer>
#include <QWidget>

namespace kolvex {

class CVideoStatic : public QWidget, public IScanCounterView {
    Q_OBJECT

public:
    explicit CVideoStatic(QWidget* parent = nullptr);

    // Receives WM_TOGGLE_FULLSCREEN; the parent widget when none is set.
    void SetNotifyWindow(QObject* window);
    QObject* NotifyWindow() const;

    // The native window id to hand to the player.
    WId SurfaceWinId() const { return winId(); }

    // Writes m_nCounter and repaints at once: the scan runs on the
    // user-interface thread without returning to the event loop.
    void ShowScanCount(int filesVisited) override;

    // Owners write these and call update().
    bool m_bShowCounter = false; // draw m_nCounter
    int m_nCounter = 0;          // files visited by the running scan

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPointer<QObject> m_pNotifyWindow;
};

} // namespace kolvex
