// The playback position slider, 0..1000 per mille of the front recording:
// a black channel with a sunken edge and a green thumb. A press puts the
// thumb where it lands; moving while held and the release each send
// WM_SEEK_CHANGED to the parent. Orange marks show where driving events
// happened; a click on one seeks to just before it.
#pragma once

#include "skin_slider.h"

#include <vector>

namespace kolvex {

class CVideoSlider : public CSkinSlider {
public:
    explicit CVideoSlider(QWidget* parent = nullptr);

    // Marks of the recording's driving events, as positions 0..1000. A
    // click on a mark seeks to `m_nMarkLeadPermille` before it (the window
    // sets it for its 2 s).
    void SetEventMarks(std::vector<int> positions);
    const std::vector<int>& EventMarks() const { return m_eventMarks; }
    // The mark a press at `x` hits, or -1.
    int MarkAt(int x) const;
    int MarkX(int position) const;
    int m_nMarkLeadPermille = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<int> m_eventMarks;
};

} // namespace kolvex
