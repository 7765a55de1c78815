#pragma once

// Turns a player's libVLC events into posted CPlayerMessageEvents.
//
// libVLC calls OnPlayerEvent on its own threads. The poster only posts: it
// never waits for the receiver's thread and never calls back into libVLC
// (a libVLC query from its event thread may block on a Stop on the
// user-interface thread), so the time travels in the event itself. lParam
// carries the player's media count when the event was raised
// (CVlcPlayer::m_nMediaSerial).

#include "player_messages.h"

#include <vlc/vlc.h>

class CVlcPlayer;
class QObject;

class CPlayerEventPoster {
public:
    // The front player drives the user interface; the rear player only tells
    // when its recording ended.
    enum class Role { Front, Rear };

    // The receiver must outlive every player this poster is attached to.
    CPlayerEventPoster(QObject* receiver, Role role) : m_pReceiver(receiver), m_role(role) {}

    void AttachTo(CVlcPlayer& player);

    // libvlc_callback_t; userData is the poster.
    static void OnPlayerEvent(const libvlc_event_t* event, void* userData);

private:
    void Post(PlayerMessage message, qint64 wParam) const;
    void OnFrontEvent(const libvlc_event_t& event) const;
    void OnRearEvent(const libvlc_event_t& event) const;

    QObject* m_pReceiver;
    Role m_role;
    CVlcPlayer* m_pPlayer = nullptr; // the player attached to, for its media count
};
