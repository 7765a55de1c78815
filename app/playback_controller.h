// CPlaybackController: the front and rear players and everything that drives
// them. It owns both players and the posters that turn their libVLC events
// into reports, tells a report of the media that plays from a late one of a
// replaced media, keeps the pending seek and applies it on its own timer,
// keeps the rate table and its overlay, holds a player at its first picture,
// decides what the end of the front recording asks for, and keeps a list
// open waiting while the players let go of their files.
//
// The window asks it to open, play, pause, stop, seek and change the rate;
// it hears back through the signals below. Which recording plays, and what
// the lists, the slider and the instruments show, stay the window's.
#pragma once

#include "playback/qt/player_event_poster.h"
#include "playback/vlc_player.h"

#include <QBasicTimer>
#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace kolvex {

class CPlaybackController : public QObject {
    Q_OBJECT
public:
    // The rate table: index 7, 1.0 X, is the default.
    static constexpr int kRateCount = 18;
    static constexpr int kDefaultRateIndex = 7;
    static double RateAt(int index);
    static const char* RateLabelAt(int index);

    // Both players load `vlcLibrary` (a libVLC library file).
    explicit CPlaybackController(const QByteArray& vlcLibrary, QObject* parent = nullptr);
    ~CPlaybackController() override;

    CVlcPlayer& Front() { return m_frontPlayer; }
    CVlcPlayer& Rear() { return m_rearPlayer; }
    const CVlcPlayer& Front() const { return m_frontPlayer; }
    const CVlcPlayer& Rear() const { return m_rearPlayer; }

    // Once, at the window's start: each usable player draws into its
    // surface, reports its events, plays at 1.0 X; the front one at full
    // volume, the rear one silent. Starts the seek timer.
    void Attach(CVlcPlayer::WindowHandle frontSurface, CVlcPlayer::WindowHandle rearSurface);
    // The picture height of the current recording (0: unknown), for the
    // size of the rate overlay.
    void SetPictureHeightSource(std::function<int()> source) {
        m_pictureHeight = std::move(source);
    }

    // Opening. The front media replaces the last one: a seek or a hold meant
    // for that one goes. `listedLengthMs` is the length the list read from
    // the file (0: unknown, libVLC is asked).
    void OpenFront(const QString& path, int64_t listedLengthMs);
    void SetFrontWindow(CVlcPlayer::WindowHandle surface);
    // The rear recording of the front one, playing silently in `surface`.
    void OpenRear(const QString& path, CVlcPlayer::WindowHandle surface);
    // No rear recording: the rear player is stopped and rebuilt so that
    // nothing of the last one (picture, rate overlay) stays behind.
    void DropRear(CVlcPlayer::WindowHandle surface);

    // Transport; each step only on a usable player.
    void PlayFront();
    void PauseFront();
    void PlayRear();
    void PauseRear();
    // Playing, not on its way to hold its first picture.
    bool FrontRunning() const;
    bool RearRunning() const;
    // Stopped (not paused): late reports must not bring back what the stop
    // cleared.
    bool FrontStopped() const;
    void StopFront();
    // Both players stopped, front first; a hold or a list open that waited
    // goes.
    void StopBoth();
    // StopBoth, then `next` once the players have let go of their files; the
    // window answers meanwhile. A later stop drops `next`.
    void StopBothThen(std::function<void()> next);
    bool WaitsForStop() const { return m_afterStopTimer.isActive(); }
    // Pauses what plays (full screen switches under a paused picture) and
    // plays it again afterwards.
    struct Suspension {
        bool front = false;
        bool rear = false;
    };
    Suspension Suspend();
    void Resume(const Suspension& suspension);

    // The first picture: the player is paused as soon as its recording runs
    // (a pause while it is still opening is ignored by libVLC); any other
    // command on the players first cancels this.
    void HoldFrontAtStart();
    void HoldRearAtStart();
    void CancelHolds();
    // The recording played again from its start and held there.
    void RestartFrontHeld();
    void RestartRearHeld();

    // Rates.
    int RateIndex() const { return m_nRateIndex; }
    // One entry faster (+1) or slower (-1), within the table; the overlay
    // follows without restarting its repeats.
    void ChangeRate(int step);
    // Back to 1.0 X on both players; the overlay is not touched.
    void ResetRate();
    void UpdateRateOverlay();
    // The overlay at once and on eleven more ticks of 300 ms.
    void RestartRateOverlay();
    int OverlayRepeats() const { return m_nOverlayRepeat; }

    // Seeking. The pending seek is applied to both players on the next tick
    // of the 500 ms seek timer; none while no seek waits (a target of 0 is
    // the start of the recording).
    const std::optional<int64_t>& PendingSeek() const { return m_pendingSeekMs; }
    void SetPendingSeek(int64_t timeMs) { m_pendingSeekMs = timeMs; }
    void ClearPendingSeek() { m_pendingSeekMs.reset(); }
    void ApplyPendingSeek();
    // The front recording's length in ms: its listed length, else what
    // libVLC says; 0 or less when neither knows it.
    int64_t FrontLengthMs();

    // Whether the end of the front recording plays the next one.
    bool AutoNext() const { return m_bAutoNext; }
    void SetAutoNext(bool on) { m_bAutoNext = on; }
    // What the end of the front and rear recordings do, as when their
    // report arrives: without auto play next, the front recording is held
    // at its start (heldAtStart); with it, nextWanted asks the window for
    // the next recording. The rear recording holds its first picture while
    // the front one plays on.
    void HandleFrontEnd();
    void HandleRearEnd();

signals:
    // Reports of the front player's current media, on the window's thread.
    void frontTime(qint64 timeMs);
    void frontState(int state);
    void frontError(int code);
    // The front recording ended and was held at its start.
    void heldAtStart();
    // The front recording ended with auto play next on.
    void nextWanted();
    // The seek timer sent both players to `timeMs`.
    void seekApplied(qint64 timeMs);

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void OnHoldTick(CVlcPlayer& player, QBasicTimer& timer, int& ticks);
    void ContinueAfterStop();
    static bool IsCurrent(const QEvent* event, const CVlcPlayer& player);

    // The posters first: they outlive the players that call them.
    CPlayerEventPoster m_frontPoster{this, CPlayerEventPoster::Role::Front};
    CPlayerEventPoster m_rearPoster{this, CPlayerEventPoster::Role::Rear};
    CVlcPlayer m_frontPlayer;
    CVlcPlayer m_rearPlayer;
    std::function<int()> m_pictureHeight;
    int m_nRateIndex = kDefaultRateIndex;
    int m_nOverlayRepeat = 10;
    std::optional<int64_t> m_pendingSeekMs;
    int64_t m_nFrontLengthMs = 0;
    bool m_bAutoNext = true;
    QBasicTimer m_seekTimer;
    QBasicTimer m_rateOverlayTimer;
    QBasicTimer m_frontHoldTimer;
    QBasicTimer m_rearHoldTimer;
    int m_nFrontHoldTicks = 0;
    int m_nRearHoldTicks = 0;
    QBasicTimer m_afterStopTimer;
    std::function<void()> m_afterStop;
};

} // namespace kolvex
