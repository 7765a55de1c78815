#include "player_event_poster.h"

#include "vlc_player.h"

#include <QCoreApplication>

void CPlayerEventPoster::AttachTo(CVlcPlayer& player) {
    m_pPlayer = &player;
    player.AttachEvents(&CPlayerEventPoster::OnPlayerEvent, this);
}

void CPlayerEventPoster::OnPlayerEvent(const libvlc_event_t* event, void* userData) {
    if (!event || !userData) {
        return;
    }
    const auto* poster = static_cast<const CPlayerEventPoster*>(userData);
    if (poster->m_role == Role::Front) {
        poster->OnFrontEvent(*event);
    } else {
        poster->OnRearEvent(*event);
    }
}

void CPlayerEventPoster::Post(PlayerMessage message, qint64 wParam) const {
    // The media count is read, never waited for: it is an atomic of our own.
    const qint64 serial = m_pPlayer ? m_pPlayer->m_nMediaSerial.load() : 0;
    QCoreApplication::postEvent(m_pReceiver, new CPlayerMessageEvent(message, wParam, serial));
}

void CPlayerEventPoster::OnFrontEvent(const libvlc_event_t& event) const {
    switch (event.type) {
    case libvlc_MediaPlayerPlaying:
        Post(WM_PLAYER_STATE, 3);
        break;
    case libvlc_MediaPlayerPaused:
        Post(WM_PLAYER_STATE, 4);
        break;
    case libvlc_MediaPlayerTimeChanged:
        Post(WM_PLAYER_TIME, event.u.media_player_time_changed.new_time);
        break;
    case libvlc_MediaPlayerEndReached:
        Post(WM_FRONT_END_REACHED, 1);
        break;
    case libvlc_MediaPlayerEncounteredError:
        Post(WM_PLAYER_ERROR, 1);
        break;
    default:
        break;
    }
}

void CPlayerEventPoster::OnRearEvent(const libvlc_event_t& event) const {
    if (event.type == libvlc_MediaPlayerEndReached) {
        Post(WM_REAR_END_REACHED, 1);
    }
}
