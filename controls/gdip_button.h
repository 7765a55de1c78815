// An image button of the skin. Its faces (normal, pressed, hover, grey and
// the alternate picture's normal, pressed and hover) are composed once over
// the parent's pixels behind the button and then only copied, so a button
// costs one image copy per repaint.
#pragma once

#include <QColor>
#include <QImage>
#include <QPushButton>

namespace kolvex {

class CGdipButton : public QPushButton {
public:
    explicit CGdipButton(QWidget* parent = nullptr);

    // The picture of skin resource `pictureId`; false when the skin has
    // none, and the button then shows only the background behind it.
    bool SetStandardImage(int pictureId);
    // A second picture, shown while m_bAltState is set.
    bool SetAlternateImage(int pictureId);
    // With an alternate picture: every press flips m_bAltState.
    void MakeToggle();

    // The face painted last; null before the first paint.
    const QImage* CurrentFace() const { return m_pCurrentFace; }

    int m_bHaveAlt = 0;
    // Written by the owner, followed by update(): the grey face, deaf to
    // hover, press and toggle looks.
    int m_bDisabled = 0;
    int m_bToggle = 0;
    int m_bHover = 0;
    // Written by the owner, followed by update(): the alternate picture.
    int m_bAltState = 0;

    // The frame around a button that has the keyboard focus.
    static const QColor kFocusMarkColour;
    static constexpr int kFocusMarkWidth = 2;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void OnPressed();
    void BuildFaces();
    void DropFaces();
    QImage CaptureBackground() const;
    QImage ComposeFace(const QImage& background, const QImage& picture, QPoint offset) const;

    QImage m_altImage;
    QImage m_stdImage;
    QImage m_stdNormal, m_stdPressed, m_stdHover;
    QImage m_altNormal, m_altPressed, m_altHover;
    QImage m_grey;
    const QImage* m_pCurrentFace = nullptr;
    bool m_bFacesBuilt = false;
    bool m_bKeyboardFocus = false; // reached by Tab: the focus frame shows
};

} // namespace kolvex
