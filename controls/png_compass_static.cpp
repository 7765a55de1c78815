#include "png_compass_static.h"

#include "resources/skin/skin_image.h"
#include "resources/skin/skin_looks.h"

#include <QPainter>

namespace kolvex {

CPngCompassStatic::CPngCompassStatic(QWidget* parent) : QWidget(parent) {}

bool CPngCompassStatic::AddImage(int pictureId) {
    auto image = std::make_unique<QImage>(skin::loadImage(pictureId));
    if (image->isNull())
        return false;
    if (m_images.empty())
        m_greyCard = QImage();
    m_images.push_back(std::move(image));
    return true;
}

bool CPngCompassStatic::SetImage(unsigned index) {
    if (index > m_images.size())
        return false;
    m_nImage = index;
    update();
    return true;
}

void CPngCompassStatic::SetHeading(int degrees) {
    const int count = static_cast<int>(m_images.size());
    if (count == 0)
        return;
    // The card turns against the heading; to the nearest 45 degrees, a
    // remainder of 23 or more rounding up.
    const int against = ((360 - degrees) % 360 + 360) % 360;
    const int step = against / 45;
    const int remainder = against - 45 * step;
    m_nImage = static_cast<unsigned>((step + (remainder > 22 ? 1 : 0)) % count + 1);
    update();
}

void CPngCompassStatic::paintEvent(QPaintEvent*) {
    if (m_nImage > m_images.size() || m_images.empty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_nImage >= 1) {
        painter.drawImage(rect(), *m_images[m_nImage - 1]);
        return;
    }
    if (m_greyCard.isNull())
        m_greyCard = skin::greyLook(*m_images.front());
    painter.drawImage(rect(), m_greyCard);
}

} // namespace kolvex
