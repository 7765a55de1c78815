// The volume slider, 0..100: the skin shows through around a sunken
// channel, the thumb is red. A press puts the thumb where it lands; moving
// while held sends WM_VOLUME_CHANGED to the parent, and so does the release.
#pragma once

#include "skin_slider.h"

namespace kolvex {

class CMySliderControl : public CSkinSlider {
public:
    explicit CMySliderControl(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace kolvex
