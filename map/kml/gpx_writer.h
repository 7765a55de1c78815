// Builds a GPX 1.1 document of one track: one segment per recording, one
// point per GPS sample with elevation, time, and speed and course in the
// widely read track-point extension.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace kolvex {

struct GpxPoint {
    double latitude = 0;          // decimal degrees
    double longitude = 0;         // decimal degrees
    int32_t elevation = 0;        // metres
    std::optional<int64_t> utcMs; // milliseconds since 1970 UTC, when known
    double speedKmh = 0;
    double courseDeg = 0;
};

class CGpxWriter {
public:
    explicit CGpxWriter(const QString& trackName);
    void BeginSegment();
    void AddPoint(const GpxPoint& point);
    void EndSegment();
    // The finished document; the writer is not used afterwards.
    std::string Finish();

private:
    std::string m_text;
    bool m_bInSegment = false;
};

// "2013-05-17T06:09:10Z", with ".250" before the Z when there are milliseconds.
std::string FormatUtcTime(int64_t utcMs);

} // namespace kolvex
