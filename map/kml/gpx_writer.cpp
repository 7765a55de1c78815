#include "gpx_writer.h"

#include "fixed_point_text.h"
#include "kml_writer.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace kolvex {

CGpxWriter::CGpxWriter(const QString& trackName) {
    m_text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<gpx version=\"1.1\" creator=\"Kolvex\" xmlns=\"http://www.topografix.com/GPX/1/1\""
             " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n"
             "  <trk>\n"
             "    <name>" +
             EscapeXmlText(trackName) + "</name>\n";
}

void CGpxWriter::BeginSegment() {
    EndSegment();
    m_text += "    <trkseg>\n";
    m_bInSegment = true;
}

void CGpxWriter::EndSegment() {
    if (!m_bInSegment)
        return;
    m_text += "    </trkseg>\n";
    m_bInSegment = false;
}

void CGpxWriter::AddPoint(const GpxPoint& point) {
    if (!m_bInSegment)
        BeginSegment();
    m_text += "      <trkpt lat=\"";
    AppendFixed6(m_text, point.latitude);
    m_text += "\" lon=\"";
    AppendFixed6(m_text, point.longitude);
    m_text += "\">\n        <ele>" + std::to_string(point.elevation) + "</ele>\n";
    if (point.utcMs)
        m_text += "        <time>" + FormatUtcTime(*point.utcMs) + "</time>\n";
    // The extension wants metres per second and a course below 360.
    m_text += "        <extensions>\n"
              "          <gpxtpx:TrackPointExtension>\n"
              "            <gpxtpx:speed>";
    AppendFixed6(m_text, point.speedKmh / 3.6);
    m_text += "</gpxtpx:speed>\n"
              "            <gpxtpx:course>";
    AppendFixed6(m_text, std::fmod(point.courseDeg, 360.0));
    m_text += "</gpxtpx:course>\n"
              "          </gpxtpx:TrackPointExtension>\n"
              "        </extensions>\n"
              "      </trkpt>\n";
}

std::string CGpxWriter::Finish() {
    EndSegment();
    m_text += "  </trk>\n</gpx>\n";
    return std::move(m_text);
}

std::string FormatUtcTime(int64_t utcMs) {
    int64_t seconds = utcMs / 1000;
    int64_t millis = utcMs % 1000;
    if (millis < 0) {
        millis += 1000;
        seconds -= 1;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm fields{};
    gmtime_r(&t, &fields);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", fields.tm_year + 1900,
                  fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    std::string out = text;
    if (millis != 0) {
        std::snprintf(text, sizeof text, ".%03d", static_cast<int>(millis));
        out += text;
    }
    out += 'Z';
    return out;
}

} // namespace kolvex
