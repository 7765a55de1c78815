#include "vlc_log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct UserMessage {
    const char* module;  // a piece of the sender's name, or null for any
    const char* pattern; // a piece of the message's format
    const char* text;    // what the user reads instead
};

// libVLC's errors that say something a user can act on. The first match
// wins; the text replaces libVLC's, once per process.
constexpr UserMessage kUserMessages[] = {
    {nullptr, "audio output",
     "kolvex: no sound device could be opened; recordings play without sound"},
    {"alsa", nullptr, "kolvex: no sound device could be opened; recordings play without sound"},
    {"pulse", nullptr, "kolvex: no sound device could be opened; recordings play without sound"},
    {nullptr, "Codec", "kolvex: a recording uses a format libVLC cannot decode"},
    {nullptr, "can't be opened", "kolvex: a recording could not be opened"},
    {nullptr, "unable to open", "kolvex: a recording could not be opened"},
    {nullptr, "video output creation failed", "kolvex: the video could not be shown"},
};

bool Matches(const UserMessage& message, const char* module, const char* format) {
    // Module names vary with the build ("pulse", "vlcpulse").
    if (message.module && !std::strstr(module, message.module))
        return false;
    return !message.pattern || std::strstr(format, message.pattern) != nullptr;
}

const char* LevelName(int level) {
    switch (level) {
    case CVlcLogFilter::kError:
        return "error";
    case CVlcLogFilter::kWarning:
        return "warning";
    case CVlcLogFilter::kNotice:
        return "notice";
    default:
        return "debug";
    }
}

} // namespace

void CVlcLogFilter::SetVerbose(bool verbose) {
    std::lock_guard lock(m_mutex);
    m_bVerbose = verbose;
}

bool CVlcLogFilter::Verbose() const {
    std::lock_guard lock(m_mutex);
    return m_bVerbose;
}

bool CVlcLogFilter::Wanted(int level) const {
    return level >= kWarning || Verbose();
}

std::string CVlcLogFilter::Line(int level, const char* module, const char* format,
                                const std::string& text) {
    module = module ? module : "libvlc";
    format = format ? format : "";
    const std::string plain =
        std::string("libVLC ") + LevelName(level) + " (" + module + "): " + text;
    std::lock_guard lock(m_mutex);
    if (m_bVerbose)
        return plain;
    if (level < kWarning)
        return {};
    if (level >= kError) {
        for (const UserMessage& message : kUserMessages) {
            if (Matches(message, module, format))
                return m_seen.insert(message.text).second ? message.text : std::string();
        }
    }
    const std::string kind = std::to_string(level) + '\n' + module + '\n' + format;
    return m_seen.insert(kind).second ? plain : std::string();
}

CVlcLogFilter& CVlcLogFilter::Process() {
    static CVlcLogFilter filter([] {
        const char* value = std::getenv("KOLVEX_VLC_LOG");
        return value && *value && std::strcmp(value, "0") != 0;
    }());
    return filter;
}

void CVlcLogFilter::Report(int level, const char* module, const char* format, va_list args) {
    CVlcLogFilter& filter = Process();
    if (!filter.Wanted(level) || !format)
        return;
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        text.assign(buffer.data(), static_cast<size_t>(length));
    }
    const std::string line = filter.Line(level, module, format, text);
    if (!line.empty())
        std::fprintf(stderr, "%s\n", line.c_str());
}
