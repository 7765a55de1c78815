// The playback position slider, 0..1000 per mille of the front recording:
// a black channel with a sunken edge and a green thumb. A press puts the
// thumb where it lands; moving while held and the release each send
// WM_SEEK_CHANGED to the parent. Orange marks show where driving events
// happened; a click on one seeks to just before it.
#pragma once

#include "skin_slider.h"

#include <QString>

#include <cstdint>
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

    // The time read-out drawn in the channel: the position and length of
    // the playing recording on the left, the camera's time of day on the
    // right. `cameraStart` is the recording's start on the camera's clock
    // (seconds since 1970 as local time), -1 when unknown; a negative
    // length clears the read-out.
    void SetTimes(int64_t positionMs, int64_t lengthMs, int64_t cameraStart);
    QString PositionText() const;  // "01:07 / 03:00", "" when none
    QString TimeOfDayText() const; // "08:13:07", "" when none
    // What the mouse at `x` points at: "01:23  08:13:23", "" without a
    // recording.
    QString TimeAtX(int x) const;
    // "01:07", or "1:02:05" from one hour on.
    static QString FormatDuration(int64_t ms);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString TimeOfDayAt(int64_t ms) const;

    std::vector<int> m_eventMarks;
    int64_t m_nPositionMs = -1;
    int64_t m_nLengthMs = -1;
    int64_t m_nCameraStart = -1;
};

} // namespace kolvex
