// The window messages the controls send to the main window: full screen
// from the video surfaces and their frames, the new position from the two
// sliders. Their numbers belong to the program's own range 0xC01..0xC0E
// shared with the players' messages (playback/qt/player_messages.h), so
// they are fixed.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QtGlobal>

namespace kolvex {

enum ControlMessage : int {
    WM_TOGGLE_FULLSCREEN = 0xC04, // wParam 0, lParam 0: full screen on or off
    WM_VOLUME_CHANGED = 0xC0C,    // wParam 0, lParam 0: the volume slider moved
    WM_SEEK_CHANGED = 0xC0D,      // wParam 0, lParam 0: the position slider moved
};

// A sent window message: its type is the message number.
class CControlMessageEvent : public QEvent {
public:
    explicit CControlMessageEvent(ControlMessage message, qint64 wParam = 0, qint64 lParam = 0)
        : QEvent(static_cast<QEvent::Type>(message)), m_nWParam(wParam), m_nLParam(lParam) {}

    ControlMessage message() const { return static_cast<ControlMessage>(type()); }

    qint64 m_nWParam;
    qint64 m_nLParam;
};

// Sends `message` (wParam 0, lParam 0) to `receiver` and returns once it is
// handled; nothing without a receiver.
inline void SendControlMessage(QObject* receiver, ControlMessage message) {
    if (!receiver)
        return;
    CControlMessageEvent event(message);
    QCoreApplication::sendEvent(receiver, &event);
}

} // namespace kolvex
