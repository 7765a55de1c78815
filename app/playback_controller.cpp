#include "playback_controller.h"

#include "library/native_path.h"
#include "playback/qt/player_messages.h"

#include <QTimerEvent>

#include <algorithm>
#include <utility>

namespace kolvex {

namespace {

struct RateEntry {
    double rate;
    const char* label;
};

constexpr RateEntry kRates[CPlaybackController::kRateCount] = {
    {0.3, "0.3 X"}, {0.4, "0.4 X"}, {0.5, "0.5 X"}, {0.6, "0.6 X"}, {0.7, "0.7 X"}, {0.8, "0.8 X"},
    {0.9, "0.9 X"}, {1.0, "1.0 X"}, {1.2, "1.2 X"}, {1.4, "1.4 X"}, {1.6, "1.6 X"}, {1.8, "1.8 X"},
    {2.0, "2.0 X"}, {2.4, "2.4 X"}, {2.8, "2.8 X"}, {3.2, "3.2 X"}, {3.6, "3.6 X"}, {4.0, "4.0 X"},
};

constexpr int kSeekPeriodMs = 500;
constexpr int kOverlayRepeats = 10;
constexpr int kOverlayPeriodMs = 300;
constexpr int kDefaultOverlaySize = 48;
constexpr int kStopPauseMs = 200; // lets both players let go of their files
constexpr int kHoldPollMs = 20;   // how often a held player is looked at
constexpr int kHoldTicks = 150;   // at most 3 s until it runs
constexpr int kFullVolume = 200;

} // namespace

double CPlaybackController::RateAt(int index) {
    return kRates[std::clamp(index, 0, kRateCount - 1)].rate;
}

const char* CPlaybackController::RateLabelAt(int index) {
    return kRates[std::clamp(index, 0, kRateCount - 1)].label;
}

CPlaybackController::CPlaybackController(const QByteArray& vlcLibrary, QObject* parent)
    : QObject(parent), m_frontPlayer(vlcLibrary.constData()), m_rearPlayer(vlcLibrary.constData()) {
}

CPlaybackController::~CPlaybackController() = default;

void CPlaybackController::Attach(CVlcPlayer::WindowHandle frontSurface,
                                 CVlcPlayer::WindowHandle rearSurface) {
    if (m_frontPlayer.m_bUsable) {
        m_frontPlayer.SetWindow(frontSurface);
        m_frontPoster.AttachTo(m_frontPlayer);
        m_nRateIndex = kDefaultRateIndex;
        m_frontPlayer.SetRate(1.0f);
    }
    if (m_rearPlayer.m_bUsable) {
        m_rearPlayer.SetWindow(rearSurface);
        m_rearPoster.AttachTo(m_rearPlayer);
        m_rearPlayer.SetRate(1.0f);
    }
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.SetVolume(kFullVolume);
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.SetVolume(0); // the rear recording is always silent
    m_seekTimer.start(kSeekPeriodMs, this);
}

void CPlaybackController::OpenFront(const QString& path, int64_t listedLengthMs) {
    CancelHolds();
    // A seek meant for the last recording is not one for this.
    m_pendingSeekMs.reset();
    m_frontPlayer.OpenMedia(NativePath(path).constData());
    m_nFrontLengthMs = listedLengthMs;
}

void CPlaybackController::SetFrontWindow(CVlcPlayer::WindowHandle surface) {
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.SetWindow(surface);
}

void CPlaybackController::OpenRear(const QString& path, CVlcPlayer::WindowHandle surface) {
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.SetWindow(surface);
    m_rearPlayer.OpenMedia(NativePath(path).constData());
    PlayRear();
}

void CPlaybackController::DropRear(CVlcPlayer::WindowHandle surface) {
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.Stop();
    m_rearPlayer.Recreate();
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.SetWindow(surface);
}

void CPlaybackController::PlayFront() {
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.Play();
}

void CPlaybackController::PauseFront() {
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.Pause();
}

void CPlaybackController::PlayRear() {
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.Play();
}

void CPlaybackController::PauseRear() {
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.Pause();
}

bool CPlaybackController::FrontRunning() const {
    // A front player on its way to hold its first picture counts as paused.
    return m_frontPlayer.m_bUsable && m_frontPlayer.m_bPlaying && !m_frontHoldTimer.isActive();
}

bool CPlaybackController::RearRunning() const {
    return m_rearPlayer.m_bUsable && m_rearPlayer.m_bPlaying;
}

bool CPlaybackController::FrontStopped() const {
    return m_frontPlayer.m_bUsable && !m_frontPlayer.m_bPlaying && !m_frontPlayer.m_bPaused;
}

void CPlaybackController::StopFront() {
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.Stop();
}

void CPlaybackController::StopBoth() {
    CancelHolds();
    // A list double-click that waited for the last stop is overtaken.
    m_afterStopTimer.stop();
    m_afterStop = nullptr;
    StopFront();
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.Stop();
}

void CPlaybackController::StopBothThen(std::function<void()> next) {
    StopBoth();
    m_afterStop = std::move(next);
    m_afterStopTimer.start(kStopPauseMs, this);
}

void CPlaybackController::ContinueAfterStop() {
    m_afterStopTimer.stop();
    std::function<void()> next = std::move(m_afterStop);
    m_afterStop = nullptr;
    if (next)
        next();
}

CPlaybackController::Suspension CPlaybackController::Suspend() {
    // A stopped player counts as not paused, as its flags say.
    Suspension suspension;
    suspension.front = m_frontPlayer.m_bUsable && !m_frontPlayer.m_bPaused;
    suspension.rear = m_rearPlayer.m_bUsable && !m_rearPlayer.m_bPaused;
    if (suspension.front)
        m_frontPlayer.Pause();
    if (suspension.rear)
        m_rearPlayer.Pause();
    return suspension;
}

void CPlaybackController::Resume(const Suspension& suspension) {
    if (suspension.front && m_frontPlayer.m_bUsable)
        m_frontPlayer.Play();
    if (suspension.rear && m_rearPlayer.m_bUsable)
        m_rearPlayer.Play();
}

void CPlaybackController::HoldFrontAtStart() {
    if (!m_frontPlayer.m_bUsable)
        return;
    m_nFrontHoldTicks = 0;
    m_frontHoldTimer.start(kHoldPollMs, this);
}

void CPlaybackController::HoldRearAtStart() {
    if (!m_rearPlayer.m_bUsable)
        return;
    m_nRearHoldTicks = 0;
    m_rearHoldTimer.start(kHoldPollMs, this);
}

void CPlaybackController::CancelHolds() {
    m_frontHoldTimer.stop();
    m_rearHoldTimer.stop();
}

void CPlaybackController::RestartFrontHeld() {
    if (!m_frontPlayer.m_bUsable)
        return;
    m_frontPlayer.Stop();
    m_frontPlayer.Play();
    HoldFrontAtStart();
}

void CPlaybackController::RestartRearHeld() {
    if (!m_rearPlayer.m_bUsable)
        return;
    m_rearPlayer.Stop();
    m_rearPlayer.Play();
    HoldRearAtStart();
}

void CPlaybackController::OnHoldTick(CVlcPlayer& player, QBasicTimer& timer, int& ticks) {
    // Running once it reports a time; a recording that never starts is
    // paused all the same when the wait is over.
    if (player.GetTime() <= 0 && ++ticks < kHoldTicks)
        return;
    timer.stop();
    player.Pause();
}

void CPlaybackController::ChangeRate(int step) {
    m_nRateIndex = std::clamp(m_nRateIndex + step, 0, kRateCount - 1);
    const float rate = static_cast<float>(RateAt(m_nRateIndex));
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.SetRate(rate);
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.SetRate(rate);
    UpdateRateOverlay();
}

void CPlaybackController::ResetRate() {
    m_nRateIndex = kDefaultRateIndex;
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.SetRate(1.0f);
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.SetRate(static_cast<float>(RateAt(kDefaultRateIndex)));
}

void CPlaybackController::UpdateRateOverlay() {
    const int enable = RateAt(m_nRateIndex) == 1.0 ? 0 : 1;
    const int height = m_pictureHeight ? m_pictureHeight() : 0;
    const int size = height > 0 ? static_cast<int>(height * 0.1) : kDefaultOverlaySize;
    const char* label = RateLabelAt(m_nRateIndex);
    m_frontPlayer.ShowMarquee(label, size, enable);
    m_rearPlayer.ShowMarquee(label, size, enable);
}

void CPlaybackController::RestartRateOverlay() {
    UpdateRateOverlay();
    m_nOverlayRepeat = kOverlayRepeats;
    m_rateOverlayTimer.start(kOverlayPeriodMs, this);
}

void CPlaybackController::ApplyPendingSeek() {
    if (!m_pendingSeekMs)
        return;
    const int64_t target = *m_pendingSeekMs;
    m_pendingSeekMs.reset();
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.SetTime(target);
    if (m_rearPlayer.m_bUsable)
        m_rearPlayer.SetTime(target);
    emit seekApplied(target);
}

int64_t CPlaybackController::FrontLengthMs() {
    // The recording's own duration, read when it was listed; libVLC is
    // asked only for a recording whose length the listing did not know,
    // and only until it knows it.
    if (m_nFrontLengthMs <= 0 && m_frontPlayer.m_bUsable)
        m_nFrontLengthMs = m_frontPlayer.GetLength();
    return m_nFrontLengthMs;
}

void CPlaybackController::HandleFrontEnd() {
    m_pendingSeekMs.reset();
    if (!m_bAutoNext) {
        RestartFrontHeld();
        emit heldAtStart();
        return;
    }
    emit nextWanted();
}

void CPlaybackController::HandleRearEnd() {
    RestartRearHeld();
}

bool CPlaybackController::IsCurrent(const QEvent* event, const CVlcPlayer& player) {
    return static_cast<const CPlayerMessageEvent*>(event)->m_nLParam == player.m_nMediaSerial;
}

bool CPlaybackController::event(QEvent* event) {
    const int type = static_cast<int>(event->type());
    if (type != WM_PLAYER_TIME && type != WM_PLAYER_STATE && type != WM_PLAYER_ERROR &&
        type != WM_FRONT_END_REACHED && type != WM_REAR_END_REACHED)
        return QObject::event(event);
    // A report of a media that was replaced while it was on the way is
    // about nothing shown any more: its time would move the new recording's
    // slider and instruments, its end would skip a recording (both players
    // often end together, and the front's end opens the next rear recording
    // before the rear's own end arrives).
    const CVlcPlayer& player = type == WM_REAR_END_REACHED ? m_rearPlayer : m_frontPlayer;
    if (!IsCurrent(event, player))
        return true;
    const qint64 wParam = static_cast<CPlayerMessageEvent*>(event)->m_nWParam;
    switch (type) {
    case WM_PLAYER_TIME:
        emit frontTime(wParam);
        break;
    case WM_PLAYER_STATE:
        if (wParam == 4)
            m_pendingSeekMs.reset(); // paused: a seek still waiting is dropped
        emit frontState(static_cast<int>(wParam));
        break;
    case WM_PLAYER_ERROR:
        emit frontError(static_cast<int>(wParam));
        break;
    case WM_FRONT_END_REACHED:
        HandleFrontEnd();
        break;
    default:
        HandleRearEnd();
        break;
    }
    return true;
}

void CPlaybackController::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id == m_seekTimer.timerId()) {
        ApplyPendingSeek();
    } else if (id == m_afterStopTimer.timerId()) {
        ContinueAfterStop();
    } else if (id == m_frontHoldTimer.timerId()) {
        OnHoldTick(m_frontPlayer, m_frontHoldTimer, m_nFrontHoldTicks);
    } else if (id == m_rearHoldTimer.timerId()) {
        OnHoldTick(m_rearPlayer, m_rearHoldTimer, m_nRearHoldTicks);
    } else if (id == m_rateOverlayTimer.timerId()) {
        UpdateRateOverlay();
        if (m_nOverlayRepeat == 0)
            m_rateOverlayTimer.stop();
        else
            --m_nOverlayRepeat;
    }
    QObject::timerEvent(event);
}

} // namespace kolvex
