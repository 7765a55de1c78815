// Temporary: replaced by the frame of the controls work.
#pragma once
#include "resources/skin/skin_image.h"
#include <QPainter>
#include <QWidget>
namespace kolvex {
class CVideoStaticBg : public QWidget {
public:
    explicit CVideoStaticBg(QWidget* parent = nullptr) : QWidget(parent) {}
    void SetNotifyWindow(QObject* window) { m_pNotify = window; }
    void SetIdle(int value) {
        m_bIdle = value;
        repaint();
    }
    int m_bIdle = 1;
    QObject* m_pNotify = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(rect(), skin::loadImage(m_bIdle == 1 ? 196 : 197));
    }
};
} // namespace kolvex
