// What the position and the volume slider share: a channel across the
// slider, a round thumb and a click that puts the thumb where it lands. The
// position is set on the window's thread (the players' reports reach the
// window as events of their own), so the slider posts nothing to itself.
#pragma once

#include <QColor>
#include <QEvent>
#include <QRect>
#include <QSlider>

namespace kolvex {

class CSkinSlider : public QSlider {
public:
    // `changedMessage` goes to the parent while the thumb is dragged.
    explicit CSkinSlider(int changedMessage, QWidget* parent = nullptr);

    // The channel the thumb's centre travels along; right edge exclusive as
    // in ChannelRight().
    QRect ChannelRect() const;
    int ChannelRight() const { return ChannelRect().left() + ChannelRect().width(); }
    QRect ThumbRect() const;
    // The position the thumb takes for a press at `x`, before the range
    // holds it; the current value for a channel of no width.
    int PositionFromX(int x) const;

    // Thumb fill, normally and while it is held; an invalid colour stands
    // for the palette's button and highlight colours.
    QColor m_crThumb;
    QColor m_crThumbPressed;
    int m_bDragging = 0;

protected:
    void PaintThumb(QPainter& painter) const;
    // A press puts the thumb where it lands (no message yet); each drag move
    // follows the mouse and tells the parent. The release is the slider's own.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Keys are the window's: its arrows seek and change the volume the way
    // the mouse does, so a slider with the focus moves nothing itself.
    void keyPressEvent(QKeyEvent* event) override;
    // Sends `message` (wParam 0, lParam 0) to the parent.
    void NotifyParent(int message);

    const int m_nChangedMessage;
};

} // namespace kolvex
