#include "gdip_button.h"

#include "resources/skin/skin_image.h"
#include "resources/skin/skin_looks.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kolvex {

const QColor CGdipButton::kFocusMarkColour(255, 200, 40);

CGdipButton::CGdipButton(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    setAutoDefault(false);
    // Reached by Tab, not taken by a click: the window's keyboard focus
    // stays where the user left it.
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::pressed, this, &CGdipButton::OnPressed);
}

bool CGdipButton::SetStandardImage(int pictureId) {
    m_stdImage = skin::loadImage(pictureId);
    DropFaces();
    update();
    return !m_stdImage.isNull();
}

bool CGdipButton::SetAlternateImage(int pictureId) {
    m_bHaveAlt = 1;
    m_altImage = skin::loadImage(pictureId);
    DropFaces();
    update();
    return !m_altImage.isNull();
}

void CGdipButton::MakeToggle() {
    if (!m_bHaveAlt)
        return;
    m_bToggle = 1;
}

void CGdipButton::OnPressed() {
    // The flip belongs to the press, so that the pressed face already shows
    // the picture the button turns to.
    if (m_bToggle && !m_bDisabled) {
        m_bAltState = !m_bAltState;
        // A click from code (a key) goes by without a pressed repaint: the
        // new picture must still show.
        update();
    }
}

void CGdipButton::focusInEvent(QFocusEvent* event) {
    // Only a focus the user moved with the keyboard is marked; the window
    // handing its first button the focus is nothing to point out.
    m_bKeyboardFocus =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QPushButton::focusInEvent(event);
}

void CGdipButton::focusOutEvent(QFocusEvent* event) {
    m_bKeyboardFocus = false;
    QPushButton::focusOutEvent(event);
}

void CGdipButton::enterEvent(QEnterEvent* event) {
    m_bHover = 1;
    update();
    QPushButton::enterEvent(event);
}

void CGdipButton::leaveEvent(QEvent* event) {
    m_bHover = 0;
    update();
    QPushButton::leaveEvent(event);
}

void CGdipButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a quick pair is a press like the first.
    mousePressEvent(event);
}

void CGdipButton::resizeEvent(QResizeEvent* event) {
    DropFaces();
    QPushButton::resizeEvent(event);
}

void CGdipButton::moveEvent(QMoveEvent* event) {
    // The faces carry the skin behind the button; a new place has other
    // pixels behind it.
    DropFaces();
    QPushButton::moveEvent(event);
}

void CGdipButton::DropFaces() {
    m_bFacesBuilt = false;
    m_pCurrentFace = nullptr;
}

QImage CGdipButton::CaptureBackground() const {
    const qreal ratio = devicePixelRatioF();
    QImage background(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    background.setDevicePixelRatio(ratio);
    background.fill(Qt::transparent);
    if (QWidget* parent = parentWidget())
        parent->render(&background, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    return background;
}

QImage CGdipButton::ComposeFace(const QImage& background, const QImage& picture,
                                QPoint offset) const {
    QImage face = background;
    if (!picture.isNull()) {
        QPainter painter(&face);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(offset, size()), picture);
    }
    return face;
}

void CGdipButton::BuildFaces() {
    const QImage background = CaptureBackground();
    m_stdNormal = ComposeFace(background, m_stdImage, QPoint(0, 0));
    m_stdPressed = ComposeFace(background, m_stdImage, QPoint(1, 1));
    m_stdHover = ComposeFace(background, skin::hoverLook(m_stdImage), QPoint(0, 0));
    m_grey = ComposeFace(background, skin::greyLook(m_stdImage), QPoint(0, 0));
    if (m_bHaveAlt) {
        m_altNormal = ComposeFace(background, m_altImage, QPoint(0, 0));
        m_altPressed = ComposeFace(background, m_altImage, QPoint(1, 1));
        m_altHover = ComposeFace(background, skin::hoverLook(m_altImage), QPoint(0, 0));
    }
    m_bFacesBuilt = true;
}

void CGdipButton::paintEvent(QPaintEvent*) {
    if (!m_bFacesBuilt)
        BuildFaces();
    const bool alternate = m_bAltState && m_bHaveAlt;
    if (m_bDisabled || !isEnabled())
        m_pCurrentFace = &m_grey;
    else if (isDown())
        m_pCurrentFace = alternate ? &m_altPressed : &m_stdPressed;
    else if (m_bHover)
        m_pCurrentFace = alternate ? &m_altHover : &m_stdHover;
    else
        m_pCurrentFace = alternate ? &m_altNormal : &m_stdNormal;

    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), *m_pCurrentFace);
    if (hasFocus() && m_bKeyboardFocus) {
        // The style's dotted focus frame all but vanishes on the dark skin:
        // a solid bright frame tells where Tab went.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(kFocusMarkColour, kFocusMarkWidth));
        painter.setBrush(Qt::NoBrush);
        const qreal inset = kFocusMarkWidth / 2.0;
        painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 3, 3);
    }
}

} // namespace kolvex
