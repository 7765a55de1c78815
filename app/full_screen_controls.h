// The controls that come up over a full-screen video when the mouse
// reaches its bottom: the position slider with the time read-out, and
// slower, stop, play/pause and faster. They stay while the mouse moves
// over them and go three seconds after it last moved.
//
// A native window of its own, stacked over the video's: the video surface
// is a native window, and Qt's own painting of the main window lies under it.
#pragma once

#include "controls/gdip_button.h"
#include "controls/video_slider.h"

#include <QBasicTimer>
#include <QWidget>

#include <functional>

namespace kolvex {

class CFullScreenControls : public QWidget {
public:
    static constexpr int kShowMs = 3000;
    static constexpr int kHeight = 96;
    // The strip at the bottom of the screen that calls the controls.
    static constexpr int kCallingStrip = 120;

    explicit CFullScreenControls(QWidget* parent);

    CVideoSlider& Slider() { return m_slider; }
    CGdipButton& PlayButton() { return m_btnPlay; }

    // Runs the command of a button (the main window's command ids), or the
    // seek to a slider position (0..1000).
    std::function<void(int command)> m_onCommand;
    std::function<void(int position)> m_onSeek;

    // Along the bottom of `area` (the parent's coordinates), shown and on
    // top, for kShowMs from now.
    void ShowAlong(const QRect& area);
    // The play button's picture and the slider's place, from the window's.
    void Follow(int playAltState, int sliderPosition);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Bind(CGdipButton& button, int command, int picture);

    CVideoSlider m_slider;
    CGdipButton m_btnSlow, m_btnStop, m_btnPlay, m_btnFast;
    QBasicTimer m_hideTimer;
};

} // namespace kolvex
