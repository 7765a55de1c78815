#pragma once

// The messages the players' event callbacks post to the main window. Their
// numbers belong to the program's own message range 0xC01..0xC0E, shared with
// the lists, sliders and dialogs, so they are fixed.

#include <QEvent>
#include <QtGlobal>

enum PlayerMessage : int {
    WM_PLAYER_ERROR = 0xC01,      // wParam 1
    WM_PLAYER_STATE = 0xC06,      // wParam 3 playing, 4 paused
    WM_PLAYER_TIME = 0xC07,       // wParam the playback time in ms
    WM_FRONT_END_REACHED = 0xC08, // wParam 1
    WM_REAR_END_REACHED = 0xC0E,  // wParam 1
};

// A posted window message: its type is the message number. Events from a
// player carry in lParam the player's media count at the time they were
// raised.
class CPlayerMessageEvent : public QEvent {
public:
    CPlayerMessageEvent(PlayerMessage message, qint64 wParam, qint64 lParam = 0)
        : QEvent(static_cast<QEvent::Type>(message)), m_nWParam(wParam), m_nLParam(lParam) {}

    PlayerMessage message() const { return static_cast<PlayerMessage>(type()); }

    qint64 m_nWParam;
    qint64 m_nLParam;
};
