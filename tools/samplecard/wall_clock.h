// The camera's clock: calendar fields of local wall-clock time, counted
// without any time zone, so that the card's bytes do not depend on the
// machine that writes it.
#pragma once

#include <cstdint>
#include <string>

namespace kolvex::samplecard {

struct WallClock {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Seconds since 1970-01-01 00:00:00 of the same clock (no time zone).
    int64_t ToSeconds() const;
    static WallClock FromSeconds(int64_t seconds);
    WallClock Plus(int64_t seconds) const { return FromSeconds(ToSeconds() + seconds); }

    // "2026-05-14 08:12:00", the form of the camera's text date.
    std::string Text() const;

    friend bool operator==(const WallClock&, const WallClock&) = default;
};

} // namespace kolvex::samplecard
