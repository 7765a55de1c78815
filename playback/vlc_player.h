#pragma once

// One libVLC instance and one media player drawing into one window.
//
// libVLC is never linked: the constructor loads it by name and every
// operation looks up the function it needs by name when it runs, so the
// program starts (and shows a clear message) on a machine without libVLC.
// <vlc/vlc.h> is used for its types only.

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <string>

#include <vlc/vlc.h>

class CVlcPlayer {
public:
    // The shared object the system's libVLC 3 is installed as.
    static constexpr const char* kDefaultLibrary = "libvlc.so.5";

    // Native window the video is drawn into: an X11 window id.
    using WindowHandle = uint32_t;

    explicit CVlcPlayer(const char* libraryName = kDefaultLibrary);
    ~CVlcPlayer();

    CVlcPlayer(const CVlcPlayer&) = delete;
    CVlcPlayer& operator=(const CVlcPlayer&) = delete;

    // Rebuilds instance and player, dropping the media, so that the window no
    // longer holds the last picture. Only a player that opened a media is
    // rebuilt. Volume and event callback carry over; window, rate and media
    // are the caller's to set again.
    bool Recreate();

    void SetWindow(WindowHandle window);
    // The callback runs on libVLC's threads; it must not wait for the thread
    // that calls this player's operations, and should not call back into
    // libVLC: a query made there may block on a Stop that waits for
    // that very thread. Events carry what they report (e.g. the new time).
    void AttachEvents(libvlc_callback_t callback, void* userData);

    void Play();
    void Pause();
    void Stop();

    // Milliseconds; -1 when the player is unusable.
    int64_t GetLength();
    int64_t GetTime();

    // Selects the media (UTF-8 path; null opens the empty path) without
    // starting it: the caller calls Play.
    void OpenMedia(const char* utf8Path);

    // Green text overlay in the picture's top-left corner.
    bool ShowMarquee(const char* text, int size, int enable);

    void SetRate(float rate);
    void SetTime(int64_t timeMs);
    // libVLC's percent scale: 100 is unity, 200 the maximum.
    void SetVolume(int volume);
    void SetMute(bool mute);
    // Writes the current picture at its own size to a UTF-8 path.
    void TakeSnapshot(const char* utf8Path);

    // The fields are public: the main window decides what a command does from
    // the flags, and diagnostics read the handles.
    libvlc_instance_t* m_pInstance = nullptr;
    libvlc_media_player_t* m_pPlayer = nullptr;
    libvlc_media_t* m_pMedia = nullptr;
    libvlc_event_manager_t* m_pEventManager = nullptr;
    void* m_pEventUserData = nullptr;
    libvlc_callback_t m_pfnEventCallback = nullptr;
    void* m_hLibrary = nullptr;
    std::string m_strMediaPath;
    // Atomic because libVLC's threads may read it through GetTime/GetLength
    // while the user-interface thread clears it after a failure.
    std::atomic<int32_t> m_bUsable{1};
    // What the player last asked of libVLC, not what libVLC reports: a fresh
    // player counts as paused.
    int32_t m_bPlaying = 0;
    int32_t m_bPaused = 1;
    int32_t m_nVolume = 200;
    // Counts the media this player was given and its rebuilds. Its events
    // carry the count they were raised under, so that an end reported by a
    // recording that was replaced before the report arrived is told apart
    // from the end of the one that plays now. Atomic because libVLC's event
    // threads read it.
    std::atomic<int64_t> m_nMediaSerial{0};
    // Names a log message's sender; set before the log is routed here.
    decltype(&libvlc_log_get_context) m_pfnLogContext = nullptr;

private:
    // libVLC's log callback: every message goes through CVlcLogFilter.
    static void OnLibVlcLog(void* data, int level, const libvlc_log_t* context, const char* format,
                            va_list args);
    // Hands the new instance's log to OnLibVlcLog; a libVLC without the
    // log functions keeps writing to standard error itself.
    void RouteLog();
    // Looks a libVLC function up by its exact name; a missing one makes the
    // player unusable instead of crashing.
    void* Lookup(const char* name);
    bool HasEveryEntryPoint() const;
    bool CreateInstanceAndPlayer();
    void ReleaseHandles();
};
