// An image button of the skin: its picture stretched to the button, an
// alternate picture for toggles. The faces for pressed, hover and grey
// looks come with the instruments' work; this button already shows its
// picture so that the window looks like the skin.
#pragma once

#include <QImage>
#include <QPushButton>

namespace kolvex {

class CGdipButton : public QPushButton {
public:
    explicit CGdipButton(QWidget* parent = nullptr);

    void SetStandardImage(int pictureId);
    void SetAlternateImage(int pictureId);
    void MakeToggle() { m_bToggle = true; }

    // Written by the owner, followed by update().
    int m_bAltState = 0;
    int m_bDisabled = 0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_standard;
    QImage m_alternate;
    bool m_bToggle = false;
};

} // namespace kolvex
