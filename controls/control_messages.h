// The window message the video surfaces and their frames send to the main
// window. Its number belongs to the program's own range 0xC01..0xC0E shared
// with the players' messages (playback/qt/player_messages.h), so it is fixed.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QtGlobal>

namespace kolvex {

enum ControlMessage : int {
    WM_TOGGLE_FULLSCREEN = 0xC04, // wParam 0, lParam 0: full screen on or off
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
