// The playback position slider, 0..1000 per mille of the front recording:
// a black channel with a sunken edge and a green thumb. A press puts the
// thumb where it lands; moving while held and the release each send
// WM_SEEK_CHANGED to the parent.
#pragma once

#include "skin_slider.h"

namespace kolvex {

class CVideoSlider : public CSkinSlider {
public:
    explicit CVideoSlider(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace kolvex
