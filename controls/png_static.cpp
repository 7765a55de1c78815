#include "png_static.h"

#include "skin_image.h"
#include "skin_looks.h"

#include <QPainter>

namespace kolvex {

CPngStatic::CPngStatic(QWidget* parent) : QWidget(parent) {}

bool CPngStatic::LoadFromResource(int resourceId) {
    m_pImage.reset();
    QImage picture = skin::loadImage(resourceId);
    if (!picture.isNull())
        m_pImage = std::make_unique<QImage>(std::move(picture));
    update();
    return m_pImage != nullptr;
}

void CPngStatic::SetActive(bool active) {
    m_bActive = active;
    update();
}

void CPngStatic::paintEvent(QPaintEvent*) {
    if (!m_pImage || m_pImage->isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(rect(), m_bActive ? *m_pImage : skin::greyLook(*m_pImage));
}

} // namespace kolvex
