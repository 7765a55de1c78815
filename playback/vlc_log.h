#pragma once

// What libVLC says, sorted for the user. Left alone, libVLC writes every
// message of every module to standard error: without a sound device that
// is an audio-output error for every block of sound, hundreds of lines a
// second. The players hand libVLC's log to this filter instead:
//   - an error that tells the user something about the recording or the
//     machine becomes one line of our own, once per kind;
//   - other errors and warnings are written once per kind (the message's
//     module and text before its values were filled in);
//   - debug and notice messages, and the repeats, only when asked for
//     (KOLVEX_VLC_LOG=1 or kolvex --verbose), then every message as it comes.

#include <cstdarg>
#include <mutex>
#include <set>
#include <string>

class CVlcLogFilter {
public:
    // libVLC's levels (libvlc_log_level).
    enum Level { kDebug = 0, kNotice = 2, kWarning = 3, kError = 4 };

    explicit CVlcLogFilter(bool verbose = false) : m_bVerbose(verbose) {}

    void SetVerbose(bool verbose);
    bool Verbose() const;

    // Whether a message of `level` may be shown at all; the callback asks
    // first, so that the debug stream costs no formatting.
    bool Wanted(int level) const;

    // The line to write for one message (without its newline), or "" for
    // none. `format` is the message before its values were filled in.
    std::string Line(int level, const char* module, const char* format, const std::string& text);

    // The process-wide filter the players' libVLC instances report to; its
    // verbosity comes from KOLVEX_VLC_LOG when it is first used.
    static CVlcLogFilter& Process();

    // libVLC's log callback (libvlc_log_cb, with the libVLC types left out
    // so that this header needs none): `module` as libVLC names the sender.
    static void Report(int level, const char* module, const char* format, va_list args);

private:
    mutable std::mutex m_mutex;
    bool m_bVerbose;
    std::set<std::string> m_seen;
};
