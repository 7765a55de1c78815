// Temporary: replaced by the picture static of the controls work.
#pragma once
#include "resources/skin/skin_image.h"
#include <QPainter>
#include <QWidget>
namespace kolvex {
class CPngStatic : public QWidget {
public:
    explicit CPngStatic(QWidget* parent = nullptr) : QWidget(parent) {}
    bool LoadFromResource(int id) {
        m_image = skin::loadImage(id);
        return !m_image.isNull();
    }
    int m_bActive = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(rect(), m_image);
    }
    QImage m_image;
};
} // namespace kolvex
