#include "gdip_button.h"

#include "resources/skin/skin_image.h"
#include "resources/skin/skin_looks.h"

#include <QPainter>

namespace kolvex {

CGdipButton::CGdipButton(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    setAutoDefault(false);
    setFocusPolicy(Qt::TabFocus);
}

void CGdipButton::SetStandardImage(int pictureId) {
    m_standard = skin::loadImage(pictureId);
    update();
}

void CGdipButton::SetAlternateImage(int pictureId) {
    m_alternate = skin::loadImage(pictureId);
    update();
}

void CGdipButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage& face =
        m_bToggle && m_bAltState && !m_alternate.isNull() ? m_alternate : m_standard;
    if (face.isNull())
        return;
    const bool grey = m_bDisabled || !isEnabled();
    QRect target = rect();
    if (isDown())
        target.translate(1, 1);
    painter.drawImage(target, grey ? skin::greyLook(face) : face);
}

} // namespace kolvex
