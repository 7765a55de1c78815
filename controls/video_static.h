// Temporary: replaced by the video surface of the controls work.
#pragma once
#include "library/instrument_views.h"
#include <QPainter>
#include <QRasterWindow>
#include <QResizeEvent>
#include <QWidget>
namespace kolvex {
class CVideoSurfaceWindow : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(QRect(QPoint(0, 0), size()), QColor(5, 5, 5));
    }
};
class CVideoStatic : public QWidget, public IScanCounterView {
public:
    explicit CVideoStatic(QWidget* parent = nullptr) : QWidget(parent) {
        m_pSurface = new CVideoSurfaceWindow;
        m_pContainer = QWidget::createWindowContainer(m_pSurface, this);
    }
    WId SurfaceWinId() const { return m_pSurface->winId(); }
    void SetNotifyWindow(QObject* window) { m_pNotify = window; }
    void ShowScanCount(int n) override { m_nCounter = n; }
    int m_bShowCounter = 0;
    int m_nCounter = 0;
    QObject* m_pNotify = nullptr;

protected:
    void resizeEvent(QResizeEvent* e) override {
        m_pContainer->setGeometry(QRect(QPoint(0, 0), e->size()));
    }
    CVideoSurfaceWindow* m_pSurface;
    QWidget* m_pContainer;
};
} // namespace kolvex
