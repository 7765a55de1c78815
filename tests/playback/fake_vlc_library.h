#pragma once

// Loads the recording libVLC stand-in in the test process, so that a test
// shares its state with the player that dlopens the same file.

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <string>

class FakeVlcLibrary {
public:
    explicit FakeVlcLibrary(const char* path) : m_path(path) {
        m_handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (m_handle) {
            m_log = reinterpret_cast<const char* (*)()>(dlsym(m_handle, "fakevlc_log"));
            m_reset = reinterpret_cast<void (*)()>(dlsym(m_handle, "fakevlc_reset"));
            m_failNext =
                reinterpret_cast<void (*)(const char*)>(dlsym(m_handle, "fakevlc_fail_next"));
            m_live = reinterpret_cast<int (*)()>(dlsym(m_handle, "fakevlc_live_handles"));
            m_emit = reinterpret_cast<int (*)(int)>(dlsym(m_handle, "fakevlc_emit"));
            m_setTimes = reinterpret_cast<void (*)(long long, long long)>(
                dlsym(m_handle, "fakevlc_set_times"));
            m_say = reinterpret_cast<int (*)(int, const char*, const char*, int)>(
                dlsym(m_handle, "fakevlc_say"));
        }
    }
    ~FakeVlcLibrary() {
        if (m_handle) {
            dlclose(m_handle);
        }
    }
    FakeVlcLibrary(const FakeVlcLibrary&) = delete;
    FakeVlcLibrary& operator=(const FakeVlcLibrary&) = delete;

    bool loaded() const {
        return m_handle && m_log && m_reset && m_failNext && m_live && m_emit && m_setTimes &&
               m_say;
    }
    const char* path() const { return m_path.c_str(); }

    std::string log() const { return m_log(); }
    void reset() const { m_reset(); }
    void failNext(const char* function) const { m_failNext(function); }
    int liveHandles() const { return m_live(); }
    int fire(int eventType) const { return m_emit(eventType); }
    // What every player reports as its length and current time (reset: 4200
    // and 1234 ms).
    void setTimes(long long lengthMs, long long timeMs) const { m_setTimes(lengthMs, timeMs); }

    // One libVLC log message to the handler of the newest instance; false
    // when it has none.
    bool say(int level, const char* module, const char* format, int value) const {
        return m_say(level, module, format, value) == 1;
    }

private:
    std::string m_path;
    void* m_handle = nullptr;
    const char* (*m_log)() = nullptr;
    void (*m_reset)() = nullptr;
    void (*m_failNext)(const char*) = nullptr;
    int (*m_live)() = nullptr;
    int (*m_emit)(int) = nullptr;
    void (*m_setTimes)(long long, long long) = nullptr;
    int (*m_say)(int, const char*, const char*, int) = nullptr;
};
