#include "vlc_player.h"

#include "vlc_log.h"

#include <dlfcn.h>

#include <array>
#include <iterator>

namespace {

// libVLC starts without an interface and ignores its own configuration file,
// so a user's settings for the stand-alone player cannot change ours. libVLC 3
// no longer knows --plugin-path (it warns and finds its plugins itself); the
// option stays for libVLC builds that still read plugins from ./plugins.
// --no-osd: libVLC would write a snapshot's file name over the picture (the
// scratch file's, since snapshots are written through one); the rate overlay
// is a marquee, not an on-screen message, and stays.
const char* const kArguments[] = {"-I", "dummy", "--ignore-config", "--plugin-path=./plugins",
                                  "--no-osd"};
constexpr int kArgumentCount = static_cast<int>(std::size(kArguments));

// Attached in this order. libvlc_MediaStateChanged is a media event; attaching
// it to the player's manager is harmless and keeps the order callers expect.
constexpr std::array<libvlc_event_type_t, 12> kAttachedEvents = {
    libvlc_MediaPlayerPositionChanged, libvlc_MediaPlayerSeekableChanged,
    libvlc_MediaPlayerTimeChanged,     libvlc_MediaStateChanged,
    libvlc_MediaPlayerMediaChanged,    libvlc_MediaPlayerOpening,
    libvlc_MediaPlayerBuffering,       libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,          libvlc_MediaPlayerStopped,
    libvlc_MediaPlayerEndReached,      libvlc_MediaPlayerEncounteredError,
};

// Every function the player calls. A library lacking one of them is not a
// libVLC we can drive, so the player is unusable from the start rather than
// failing half-way through an operation.
constexpr const char* kEntryPoints[] = {
    "libvlc_new",
    "libvlc_release",
    "libvlc_media_player_new",
    "libvlc_media_player_release",
    "libvlc_media_player_event_manager",
    "libvlc_media_player_set_xwindow",
    "libvlc_event_attach",
    "libvlc_media_player_play",
    "libvlc_media_player_pause",
    "libvlc_media_player_stop",
    "libvlc_media_player_get_length",
    "libvlc_media_player_get_time",
    "libvlc_media_player_set_time",
    "libvlc_media_player_set_rate",
    "libvlc_media_player_set_media",
    "libvlc_media_new_path",
    "libvlc_media_add_option",
    "libvlc_media_release",
    "libvlc_video_set_key_input",
    "libvlc_video_set_mouse_input",
    "libvlc_video_set_marquee_string",
    "libvlc_video_set_marquee_int",
    "libvlc_video_take_snapshot",
    "libvlc_audio_set_volume",
    "libvlc_audio_set_mute",
};

constexpr int kMarqueeOpaque = 255;
constexpr int kMarqueeGreen = static_cast<int>(0xFF00FF00u);
constexpr int kMarqueeForever = -1;

} // namespace

// Looks the function up under the exact libVLC name and gives it libVLC's own
// signature, taken from the header without linking against it.
#define KOLVEX_VLC(name) reinterpret_cast<decltype(&::name)>(Lookup(#name))

CVlcPlayer::CVlcPlayer(const char* libraryName) {
    m_hLibrary = libraryName ? dlopen(libraryName, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (!m_hLibrary) {
        m_bUsable = 0;
        return;
    }
    if (!HasEveryEntryPoint() || !CreateInstanceAndPlayer()) {
        m_bUsable = 0;
        ReleaseHandles();
        return;
    }
    KOLVEX_VLC(libvlc_audio_set_volume)(m_pPlayer, m_nVolume);
}

CVlcPlayer::~CVlcPlayer() {
    // Also after a failure: whatever was created is still ours to release.
    ReleaseHandles();
    if (m_hLibrary) {
        dlclose(m_hLibrary);
    }
}

void* CVlcPlayer::Lookup(const char* name) {
    void* function = m_hLibrary ? dlsym(m_hLibrary, name) : nullptr;
    if (!function) {
        m_bUsable = 0;
    }
    return function;
}

bool CVlcPlayer::HasEveryEntryPoint() const {
    for (const char* name : kEntryPoints) {
        if (!dlsym(m_hLibrary, name)) {
            return false;
        }
    }
    return true;
}

bool CVlcPlayer::CreateInstanceAndPlayer() {
    auto createInstance = KOLVEX_VLC(libvlc_new);
    auto createPlayer = KOLVEX_VLC(libvlc_media_player_new);
    auto eventManager = KOLVEX_VLC(libvlc_media_player_event_manager);
    if (!createInstance || !createPlayer || !eventManager) {
        return false;
    }
    m_pInstance = createInstance(kArgumentCount, kArguments);
    if (!m_pInstance) {
        return false;
    }
    // Before the player: creating it opens the audio output, which is
    // what complains without a sound device.
    RouteLog();
    m_pPlayer = createPlayer(m_pInstance);
    if (!m_pPlayer) {
        return false;
    }
    m_pEventManager = eventManager(m_pPlayer);
    return m_pEventManager != nullptr;
}

void CVlcPlayer::RouteLog() {
    // Plain dlsym: the log is a comfort, not something a player needs.
    using LogSet = decltype(&libvlc_log_set);
    auto logSet = reinterpret_cast<LogSet>(dlsym(m_hLibrary, "libvlc_log_set"));
    m_pfnLogContext = reinterpret_cast<decltype(&libvlc_log_get_context)>(
        dlsym(m_hLibrary, "libvlc_log_get_context"));
    if (logSet && m_pInstance) {
        logSet(m_pInstance, &CVlcPlayer::OnLibVlcLog, this);
    }
}

void CVlcPlayer::OnLibVlcLog(void* data, int level, const libvlc_log_t* context, const char* format,
                             va_list args) {
    const auto* player = static_cast<const CVlcPlayer*>(data);
    const char* module = nullptr;
    if (player && player->m_pfnLogContext && context) {
        player->m_pfnLogContext(context, &module, nullptr, nullptr);
    }
    CVlcLogFilter::Report(level, module, format, args);
}

void CVlcPlayer::ReleaseHandles() {
    if (!m_hLibrary) {
        return;
    }
    // Plain dlsym: releasing must not depend on, or change, usability.
    using PlayerRelease = decltype(&libvlc_media_player_release);
    using MediaRelease = decltype(&libvlc_media_release);
    using InstanceRelease = decltype(&libvlc_release);
    auto releasePlayer =
        reinterpret_cast<PlayerRelease>(dlsym(m_hLibrary, "libvlc_media_player_release"));
    auto releaseMedia = reinterpret_cast<MediaRelease>(dlsym(m_hLibrary, "libvlc_media_release"));
    auto releaseInstance = reinterpret_cast<InstanceRelease>(dlsym(m_hLibrary, "libvlc_release"));
    if (m_pPlayer && releasePlayer) {
        releasePlayer(m_pPlayer);
    }
    if (m_pMedia && releaseMedia) {
        releaseMedia(m_pMedia);
    }
    if (m_pInstance && releaseInstance) {
        releaseInstance(m_pInstance);
    }
    m_pPlayer = nullptr;
    m_pMedia = nullptr;
    m_pEventManager = nullptr;
    m_pInstance = nullptr;
}

bool CVlcPlayer::Recreate() {
    if (!m_bUsable) {
        return false;
    }
    auto releasePlayer = KOLVEX_VLC(libvlc_media_player_release);
    auto releaseInstance = KOLVEX_VLC(libvlc_release);
    auto releaseMedia = KOLVEX_VLC(libvlc_media_release);
    if (!releasePlayer || !releaseInstance || !releaseMedia) {
        return false;
    }
    // Only a player that shows (or showed) a media has a picture to drop.
    if (!m_pMedia) {
        return false;
    }
    releaseMedia(m_pMedia);
    m_pMedia = nullptr;
    if (!m_pPlayer) {
        return false;
    }
    releasePlayer(m_pPlayer);
    m_pPlayer = nullptr;
    ++m_nMediaSerial;
    m_pEventManager = nullptr;
    if (!m_pInstance) {
        return false;
    }
    releaseInstance(m_pInstance);
    m_pInstance = nullptr;

    if (!CreateInstanceAndPlayer()) {
        m_bUsable = 0;
        ReleaseHandles();
        return false;
    }
    if (m_pfnEventCallback) {
        AttachEvents(m_pfnEventCallback, m_pEventUserData);
    }
    auto setVolume = KOLVEX_VLC(libvlc_audio_set_volume);
    if (!setVolume) {
        return false;
    }
    setVolume(m_pPlayer, m_nVolume);
    return true;
}

void CVlcPlayer::SetWindow(WindowHandle window) {
    if (!m_bUsable) {
        return;
    }
    if (auto setWindow = KOLVEX_VLC(libvlc_media_player_set_xwindow)) {
        setWindow(m_pPlayer, window);
    }
}

void CVlcPlayer::AttachEvents(libvlc_callback_t callback, void* userData) {
    if (!m_bUsable) {
        return;
    }
    m_pfnEventCallback = callback;
    m_pEventUserData = userData;
    auto attach = KOLVEX_VLC(libvlc_event_attach);
    if (!attach) {
        return;
    }
    for (libvlc_event_type_t type : kAttachedEvents) {
        attach(m_pEventManager, type, callback, userData);
    }
}

void CVlcPlayer::Play() {
    if (!m_bUsable) {
        return;
    }
    auto play = KOLVEX_VLC(libvlc_media_player_play);
    if (!play) {
        return;
    }
    play(m_pPlayer);
    m_bPlaying = 1;
    m_bPaused = 0;
}

void CVlcPlayer::Pause() {
    if (!m_bUsable) {
        return;
    }
    auto pause = KOLVEX_VLC(libvlc_media_player_pause);
    if (!pause) {
        return;
    }
    m_bPlaying = 0;
    pause(m_pPlayer);
    m_bPaused = 1;
}

void CVlcPlayer::Stop() {
    if (!m_bUsable) {
        return;
    }
    auto stop = KOLVEX_VLC(libvlc_media_player_stop);
    if (!stop) {
        return;
    }
    stop(m_pPlayer);
    m_bPlaying = 0;
    m_bPaused = 0;
}

int64_t CVlcPlayer::GetLength() {
    if (!m_bUsable) {
        return -1;
    }
    auto getLength = KOLVEX_VLC(libvlc_media_player_get_length);
    return getLength ? getLength(m_pPlayer) : -1;
}

int64_t CVlcPlayer::GetTime() {
    if (!m_bUsable) {
        return -1;
    }
    auto getTime = KOLVEX_VLC(libvlc_media_player_get_time);
    return getTime ? getTime(m_pPlayer) : -1;
}

void CVlcPlayer::OpenMedia(const char* utf8Path) {
    if (!m_bUsable) {
        return;
    }
    auto setVolume = KOLVEX_VLC(libvlc_audio_set_volume);
    auto newMedia = KOLVEX_VLC(libvlc_media_new_path);
    auto addOption = KOLVEX_VLC(libvlc_media_add_option);
    auto setMedia = KOLVEX_VLC(libvlc_media_player_set_media);
    auto releaseMedia = KOLVEX_VLC(libvlc_media_release);
    auto keyInput = KOLVEX_VLC(libvlc_video_set_key_input);
    auto mouseInput = KOLVEX_VLC(libvlc_video_set_mouse_input);
    if (!setVolume || !newMedia || !addOption || !setMedia || !releaseMedia || !keyInput ||
        !mouseInput) {
        return;
    }
    setVolume(m_pPlayer, m_nVolume);
    m_strMediaPath = utf8Path ? utf8Path : "";
    // Our reference to the replaced media is dropped; the player keeps its
    // own for as long as it still uses it.
    libvlc_media_t* previous = m_pMedia;
    m_pMedia = newMedia(m_pInstance, m_strMediaPath.c_str());
    if (previous) {
        releaseMedia(previous);
    }
    if (!m_pMedia) {
        return;
    }
    addOption(m_pMedia, ":ffmpeg-hw");
    setMedia(m_pPlayer, m_pMedia);
    // After setMedia: whatever the replaced media still reported on its way
    // out carries the old count.
    ++m_nMediaSerial;
    // Clicks and keys over the video belong to our window (double-click for
    // full screen), not to libVLC.
    keyInput(m_pPlayer, 0);
    mouseInput(m_pPlayer, 0);
}

bool CVlcPlayer::ShowMarquee(const char* text, int size, int enable) {
    if (!m_bUsable) {
        return false;
    }
    auto setString = KOLVEX_VLC(libvlc_video_set_marquee_string);
    auto setInt = KOLVEX_VLC(libvlc_video_set_marquee_int);
    if (!setString || !setInt) {
        return false;
    }
    setString(m_pPlayer, libvlc_marquee_Text, text ? text : "");
    setInt(m_pPlayer, libvlc_marquee_Size, size);
    setInt(m_pPlayer, libvlc_marquee_Opacity, kMarqueeOpaque);
    setInt(m_pPlayer, libvlc_marquee_Color, kMarqueeGreen);
    setInt(m_pPlayer, libvlc_marquee_Timeout, kMarqueeForever);
    setInt(m_pPlayer, libvlc_marquee_X, 0);
    setInt(m_pPlayer, libvlc_marquee_Y, 0);
    setInt(m_pPlayer, libvlc_marquee_Enable, enable);
    return true;
}

void CVlcPlayer::SetRate(float rate) {
    if (!m_bUsable) {
        return;
    }
    if (auto setRate = KOLVEX_VLC(libvlc_media_player_set_rate)) {
        setRate(m_pPlayer, rate);
    }
}

void CVlcPlayer::SetTime(int64_t timeMs) {
    if (!m_bUsable) {
        return;
    }
    if (auto setTime = KOLVEX_VLC(libvlc_media_player_set_time)) {
        setTime(m_pPlayer, timeMs);
    }
}

void CVlcPlayer::SetVolume(int volume) {
    if (!m_bUsable) {
        return;
    }
    if (auto setVolume = KOLVEX_VLC(libvlc_audio_set_volume)) {
        setVolume(m_pPlayer, volume);
        m_nVolume = volume;
    }
}

void CVlcPlayer::SetMute(bool mute) {
    if (!m_bUsable) {
        return;
    }
    if (auto setMute = KOLVEX_VLC(libvlc_audio_set_mute)) {
        setMute(m_pPlayer, mute ? 1 : 0);
    }
}

void CVlcPlayer::TakeSnapshot(const char* utf8Path) {
    // libVLC would take a null path for its own snapshot folder; we only ever
    // write where the user asked.
    if (!m_bUsable || !utf8Path) {
        return;
    }
    if (auto snapshot = KOLVEX_VLC(libvlc_video_take_snapshot)) {
        snapshot(m_pPlayer, 0, utf8Path, 0, 0);
    }
}
