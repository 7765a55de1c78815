// The count of visited files on stderr while a large card is scanned, for a
// person watching a terminal; silent otherwise and for quick scans.
#pragma once

#include "library/instrument_views.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace kolvex::cli {

class TerminalScanProgress : public IScanCounterView {
public:
    explicit TerminalScanProgress(const char* command)
        : m_command(command), m_enabled(::isatty(STDERR_FILENO) == 1),
          m_start(std::chrono::steady_clock::now()), m_lastShown(m_start) {}
    ~TerminalScanProgress() override {
        if (m_shown)
            std::fprintf(stderr, "\r\033[K");
    }
    TerminalScanProgress(const TerminalScanProgress&) = delete;
    TerminalScanProgress& operator=(const TerminalScanProgress&) = delete;

    void ShowScanCount(int filesVisited) override {
        // Checking the clock every file would cost more than the scan itself
        // on a fast card.
        if (!m_enabled || (filesVisited & 63) != 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_start < kQuiet || now - m_lastShown < kInterval)
            return;
        m_lastShown = now;
        m_shown = true;
        std::fprintf(stderr, "\rkolvex-cli %s: %d files visited", m_command, filesVisited);
        std::fflush(stderr);
    }

private:
    static constexpr std::chrono::milliseconds kQuiet{300};
    static constexpr std::chrono::milliseconds kInterval{100};
    const char* m_command;
    bool m_enabled;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastShown;
};

} // namespace kolvex::cli
