// A stand-in for libVLC that records the calls it receives. Built as a shared
// library so that the player loads it with dlopen exactly as the real one.
// The signatures come from the libVLC headers, so a call with the wrong
// arguments fails to compile here rather than misbehave in a test.

#include "fake_libvlc.h"

#include <vlc/vlc.h>

#include <cstdarg>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// Opaque handle types of the real library, completed here.
struct libvlc_instance_t {
    int id;
};
struct libvlc_media_player_t {
    int id;
};
struct libvlc_media_t {
    int id;
};
struct libvlc_event_manager_t {
    int id;
};
// A log message's context; its sender is read back through
// libvlc_log_get_context.
struct vlc_log_t {
    int unused;
};

namespace {

struct Listener {
    libvlc_event_type_t type;
    libvlc_callback_t callback;
    void* userData;
};

struct State {
    std::mutex mutex;
    std::string log;
    std::string failNext;
    std::set<const void*> live;
    // An event manager lives as long as its player and is never released
    // itself, so it is not counted among the live handles.
    std::set<const void*> liveManagers;
    std::map<const void*, const void*> managerOfPlayer;
    int broken = 0;
    int instances = 0, players = 0, medias = 0, managers = 0;
    std::map<const libvlc_event_manager_t*, std::vector<Listener>> listeners;
    const libvlc_event_manager_t* newestManager = nullptr;
    // What every player reports as its length and time.
    libvlc_time_t length = 4200;
    libvlc_time_t time = 1234;
    // The newest instance's log handler; not written to the call log, so
    // that the calls the player's operations make read as before.
    libvlc_log_cb logCallback = nullptr;
    void* logData = nullptr;
    const char* logModule = nullptr;
};

State& state() {
    static State s;
    return s;
}

// Handles are never freed, so that a handle used after its release still
// reads safely and shows in the log as "dead-".
template <typename Handle> std::deque<Handle>& pool() {
    static std::deque<Handle> handles;
    return handles;
}

template <typename Handle> std::string handleName(const char* prefix, const Handle* h) {
    if (!h) {
        return "null";
    }
    std::lock_guard lock(state().mutex);
    const bool alive = state().live.count(h) == 1 || state().liveManagers.count(h) == 1;
    return (alive ? "" : "dead-") + std::string(prefix) + std::to_string(h->id);
}

std::string name(const libvlc_instance_t* h) {
    return handleName("I", h);
}
std::string name(const libvlc_media_player_t* h) {
    return handleName("P", h);
}
std::string name(const libvlc_media_t* h) {
    return handleName("M", h);
}
std::string name(const libvlc_event_manager_t* h) {
    return handleName("E", h);
}

template <typename... Args> void record(const char* function, const Args&... args) {
    std::ostringstream line;
    line << function << "(";
    const char* separator = "";
    ((line << separator << args, separator = ","), ...);
    line << ")\n";
    std::lock_guard lock(state().mutex);
    state().log += line.str();
}

bool shouldFail(const char* function) {
    std::lock_guard lock(state().mutex);
    if (state().failNext == function) {
        state().failNext.clear();
        return true;
    }
    return false;
}

template <typename Handle> Handle* create(int State::*counter) {
    std::lock_guard lock(state().mutex);
    Handle* handle = &pool<Handle>().emplace_back(Handle{++(state().*counter)});
    state().live.insert(handle);
    return handle;
}

template <typename Handle> void destroy(Handle* handle) {
    std::lock_guard lock(state().mutex);
    if (state().live.erase(handle) != 1) {
        ++state().broken;
    }
}

} // namespace

extern "C" {

const char* fakevlc_log() {
    static std::string copy;
    std::lock_guard lock(state().mutex);
    copy = state().log;
    return copy.c_str();
}

void fakevlc_reset() {
    std::lock_guard lock(state().mutex);
    State& s = state();
    s.log.clear();
    s.failNext.clear();
    s.broken = 0;
    s.instances = s.players = s.medias = s.managers = 0;
    s.live.clear();
    s.liveManagers.clear();
    s.managerOfPlayer.clear();
    s.listeners.clear();
    s.newestManager = nullptr;
    s.length = 4200;
    s.time = 1234;
    s.logCallback = nullptr;
    s.logData = nullptr;
}

void fakevlc_set_times(long long length, long long time) {
    std::lock_guard lock(state().mutex);
    state().length = length;
    state().time = time;
}

void fakevlc_fail_next(const char* function) {
    std::lock_guard lock(state().mutex);
    state().failNext = function;
}

int fakevlc_live_handles() {
    std::lock_guard lock(state().mutex);
    return static_cast<int>(state().live.size()) - 1000 * state().broken;
}

int fakevlc_emit(int eventType) {
    std::vector<Listener> targets;
    const libvlc_event_manager_t* manager = nullptr;
    {
        std::lock_guard lock(state().mutex);
        manager = state().newestManager;
        for (const Listener& l : state().listeners[manager]) {
            if (l.type == eventType) {
                targets.push_back(l);
            }
        }
    }
    std::thread libvlcThread([&] {
        libvlc_event_t event{};
        event.type = eventType;
        event.p_obj = const_cast<libvlc_event_manager_t*>(manager);
        for (const Listener& l : targets) {
            l.callback(&event, l.userData);
        }
    });
    libvlcThread.join();
    return static_cast<int>(targets.size());
}

namespace {

void sayWithValues(libvlc_log_cb callback, void* data, int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const libvlc_log_t context{0};
    callback(data, level, &context, format, args);
    va_end(args);
}

} // namespace

int fakevlc_say(int level, const char* module, const char* format, int value) {
    libvlc_log_cb callback = nullptr;
    void* data = nullptr;
    {
        std::lock_guard lock(state().mutex);
        callback = state().logCallback;
        data = state().logData;
        state().logModule = module;
    }
    if (!callback) {
        return 0;
    }
    // From a thread of its own, as libVLC's modules log.
    std::thread libvlcThread([&] { sayWithValues(callback, data, level, format, value); });
    libvlcThread.join();
    return 1;
}

void libvlc_log_set(libvlc_instance_t*, libvlc_log_cb callback, void* data) {
    std::lock_guard lock(state().mutex);
    state().logCallback = callback;
    state().logData = data;
}

void libvlc_log_get_context(const libvlc_log_t*, const char** module, const char** file,
                            unsigned* line) {
    std::lock_guard lock(state().mutex);
    if (module) {
        *module = state().logModule;
    }
    if (file) {
        *file = nullptr;
    }
    if (line) {
        *line = 0;
    }
}

libvlc_instance_t* libvlc_new(int argc, const char* const* argv) {
    std::string args = std::to_string(argc);
    for (int i = 0; i < argc; ++i) {
        args += std::string(",") + argv[i];
    }
    record("libvlc_new", args);
    return shouldFail("libvlc_new") ? nullptr : create<libvlc_instance_t>(&State::instances);
}

void libvlc_release(libvlc_instance_t* instance) {
    record("libvlc_release", name(instance));
    destroy(instance);
}

libvlc_media_player_t* libvlc_media_player_new(libvlc_instance_t* instance) {
    record("libvlc_media_player_new", name(instance));
    return shouldFail("libvlc_media_player_new") ? nullptr
                                                 : create<libvlc_media_player_t>(&State::players);
}

void libvlc_media_player_release(libvlc_media_player_t* player) {
    record("libvlc_media_player_release", name(player));
    {
        std::lock_guard lock(state().mutex);
        state().liveManagers.erase(state().managerOfPlayer[player]);
    }
    destroy(player);
}

libvlc_event_manager_t* libvlc_media_player_event_manager(libvlc_media_player_t* player) {
    record("libvlc_media_player_event_manager", name(player));
    if (shouldFail("libvlc_media_player_event_manager")) {
        return nullptr;
    }
    std::lock_guard lock(state().mutex);
    auto* manager =
        &pool<libvlc_event_manager_t>().emplace_back(libvlc_event_manager_t{++state().managers});
    state().liveManagers.insert(manager);
    state().managerOfPlayer[player] = manager;
    state().newestManager = manager;
    return manager;
}

int libvlc_event_attach(libvlc_event_manager_t* manager, libvlc_event_type_t type,
                        libvlc_callback_t callback, void* userData) {
    record("libvlc_event_attach", name(manager), type);
    std::lock_guard lock(state().mutex);
    state().listeners[manager].push_back({type, callback, userData});
    return 0;
}

void libvlc_media_player_set_xwindow(libvlc_media_player_t* player, uint32_t window) {
    record("libvlc_media_player_set_xwindow", name(player), window);
}

int libvlc_media_player_play(libvlc_media_player_t* player) {
    record("libvlc_media_player_play", name(player));
    return 0;
}

void libvlc_media_player_pause(libvlc_media_player_t* player) {
    record("libvlc_media_player_pause", name(player));
}

void libvlc_media_player_stop(libvlc_media_player_t* player) {
    record("libvlc_media_player_stop", name(player));
}

libvlc_time_t libvlc_media_player_get_length(libvlc_media_player_t* player) {
    record("libvlc_media_player_get_length", name(player));
    std::lock_guard lock(state().mutex);
    return state().length;
}

libvlc_time_t libvlc_media_player_get_time(libvlc_media_player_t* player) {
    record("libvlc_media_player_get_time", name(player));
    std::lock_guard lock(state().mutex);
    return state().time;
}

void libvlc_media_player_set_time(libvlc_media_player_t* player, libvlc_time_t time) {
    record("libvlc_media_player_set_time", name(player), time);
}

int libvlc_media_player_set_rate(libvlc_media_player_t* player, float rate) {
    record("libvlc_media_player_set_rate", name(player), rate);
    return 0;
}

void libvlc_media_player_set_media(libvlc_media_player_t* player, libvlc_media_t* media) {
    record("libvlc_media_player_set_media", name(player), name(media));
}

libvlc_media_t* libvlc_media_new_path(libvlc_instance_t* instance, const char* path) {
    record("libvlc_media_new_path", name(instance), std::string("'") + path + "'");
    return shouldFail("libvlc_media_new_path") ? nullptr : create<libvlc_media_t>(&State::medias);
}

void libvlc_media_add_option(libvlc_media_t* media, const char* option) {
    record("libvlc_media_add_option", name(media), option);
}

void libvlc_media_release(libvlc_media_t* media) {
    record("libvlc_media_release", name(media));
    destroy(media);
}

void libvlc_video_set_key_input(libvlc_media_player_t* player, unsigned on) {
    record("libvlc_video_set_key_input", name(player), on);
}

void libvlc_video_set_mouse_input(libvlc_media_player_t* player, unsigned on) {
    record("libvlc_video_set_mouse_input", name(player), on);
}

void libvlc_video_set_marquee_string(libvlc_media_player_t* player, unsigned option,
                                     const char* text) {
    record("libvlc_video_set_marquee_string", name(player), option, std::string("'") + text + "'");
}

#ifndef FAKEVLC_WITHOUT_MARQUEE_INT
void libvlc_video_set_marquee_int(libvlc_media_player_t* player, unsigned option, int value) {
    record("libvlc_video_set_marquee_int", name(player), option, value);
}
#endif

int libvlc_video_take_snapshot(libvlc_media_player_t* player, unsigned num, const char* path,
                               unsigned width, unsigned height) {
    record("libvlc_video_take_snapshot", name(player), num, path, width, height);
    return 0;
}

int libvlc_audio_set_volume(libvlc_media_player_t* player, int volume) {
    record("libvlc_audio_set_volume", name(player), volume);
    return 0;
}

void libvlc_audio_set_mute(libvlc_media_player_t* player, int mute) {
    record("libvlc_audio_set_mute", name(player), mute);
}

} // extern "C"
