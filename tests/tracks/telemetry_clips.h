// Real H.264 clips (made by ffmpeg) carrying each telemetry format, with the
// drive they describe, for the reader, command-line and cross-check tests.
//
// Every clip lasts three seconds and describes the same drive: from
// kStartLatitude/kStartLongitude north-east at kDriveSpeed m/s, ten fixes a
// second (one a second for freeGPS and NMEA), starting 2015-06-01 12:00:00
// UTC, with the camera at rest upright (1 G on its Z axis) where the format
// has an accelerometer.
#pragma once

#include "telemetry_writer.h"
#include "temp_dir.h"

#include <cmath>
#include <string>
#include <vector>

namespace kolvex::testing {

using fixtures::Bytes;

inline constexpr double kStartLatitude = 48.1173;
inline constexpr double kStartLongitude = 11.5167;
inline constexpr double kDriveSpeed = 15.0;           // m/s (54 km/h)
inline constexpr int64_t kDriveStartUtc = 1433160000; // 2015-06-01 12:00:00 UTC
// GPS time of the drive's start: GPS time ran 16 leap seconds ahead of UTC then.
inline constexpr double kGpsEpochToDriveStart = 1433160000.0 - 315964800.0 + 16;
inline constexpr double kClipSeconds = 3;

// The drive's position after t seconds (degrees).
inline double DriveLatitude(double t) {
    return kStartLatitude + kDriveSpeed * t * std::cos(M_PI / 4) / 111195.0;
}
inline double DriveLongitude(double t) {
    return kStartLongitude + kDriveSpeed * t * std::sin(M_PI / 4) /
                                 (111195.0 * std::cos(kStartLatitude * M_PI / 180));
}

enum class ClipFormat { Gpmf5, Gpmf9, CammGps, CammPosition, FreeGps, Nmea };

struct Clip {
    std::string path;
    unsigned fixesPerSecond = 10;
    bool accelerometer = false;
};

// Encodes the video once per folder and wraps the format's telemetry around
// it; an empty path when ffmpeg is missing.
inline Clip MakeClip(const TempDir& dir, ClipFormat format, const std::string& name) {
    using namespace fixtures;
    Clip clip;
    const std::string video = dir.File("video-source.mp4");
    static thread_local std::string encodedFor;
    static thread_local Bytes encoded;
    if (encodedFor != video) {
        encoded = EncodeClip(video, kClipSeconds);
        encodedFor = encoded.empty() ? std::string() : video;
    }
    if (encoded.empty())
        return clip;
    clip.path = dir.File(name);
    Bytes bytes;
    switch (format) {
    case ClipFormat::Gpmf5:
    case ClipFormat::Gpmf9: {
        std::vector<TimedSample> samples;
        for (int s = 0; s < kClipSeconds; ++s) {
            GpmfSecond second;
            char gpsu[20];
            std::snprintf(gpsu, sizeof gpsu, "1506011200%02d.000", s);
            second.gpsu = gpsu;
            second.gps9 = format == ClipFormat::Gpmf9;
            second.gps9Days = 5630; // 2015-06-01
            second.gps9Seconds = 12 * 3600 + s;
            for (int i = 0; i < 10; ++i) {
                const double t = s + i / 10.0;
                second.gps.push_back(
                    {DriveLatitude(t), DriveLongitude(t), 520, kDriveSpeed, kDriveSpeed});
            }
            // Stored as the camera's Y, -X, Z: at rest upright, 1 G on Z.
            for (int i = 0; i < 200; ++i)
                second.accl.push_back({0, 0, 9.80665});
            samples.push_back({GpmfPayload(second), 1000});
        }
        bytes = AddMetadataTrack(encoded, "gpmd", samples);
        clip.accelerometer = true;
        break;
    }
    case ClipFormat::CammGps:
    case ClipFormat::CammPosition: {
        std::vector<TimedSample> samples;
        for (int k = 0; k < kClipSeconds * 10; ++k) {
            const double t = k / 10.0;
            if (format == ClipFormat::CammGps) {
                CammGpsReport r;
                r.gpsTime = kGpsEpochToDriveStart + t;
                r.latitude = DriveLatitude(t);
                r.longitude = DriveLongitude(t);
                r.altitude = 520;
                r.velocityEast = static_cast<float>(kDriveSpeed * std::sin(M_PI / 4));
                r.velocityNorth = static_cast<float>(kDriveSpeed * std::cos(M_PI / 4));
                samples.push_back({CammGps(r), 50});
                samples.push_back({CammAccel(0, 0, 9.80665f), 50});
            } else {
                samples.push_back({CammPosition(DriveLatitude(t), DriveLongitude(t), 520), 50});
                samples.push_back({CammGyro(0.1f, 0.2f, 0.3f), 50});
            }
        }
        bytes = AddMetadataTrack(encoded, "camm", samples);
        clip.accelerometer = format == ClipFormat::CammGps;
        break;
    }
    case ClipFormat::FreeGps: {
        std::vector<Bytes> boxes;
        for (int s = 0; s < kClipSeconds; ++s) {
            FreeGpsFix f;
            f.second = static_cast<uint32_t>(s);
            const auto ddmm = [](double degrees) {
                const double whole = std::floor(degrees);
                return static_cast<float>(whole * 100 + (degrees - whole) * 60);
            };
            f.latitude = ddmm(DriveLatitude(s));
            f.longitude = ddmm(DriveLongitude(s));
            f.knots = static_cast<float>(kDriveSpeed * 3600 / 1852);
            f.bearing = 45;
            boxes.push_back(FreeGpsBox(f));
        }
        bytes = AddFreeGpsBoxes(encoded, boxes);
        clip.fixesPerSecond = 1;
        break;
    }
    case ClipFormat::Nmea: {
        bytes = encoded;
        std::string text;
        for (int s = 0; s < kClipSeconds; ++s) {
            text += NmeaSentence(RmcBody(12, 0, s, true, DriveLatitude(s), DriveLongitude(s),
                                         kDriveSpeed * 3600 / 1852, 45, 1, 6, 15));
            text += NmeaSentence(GgaBody(12, 0, s, 1, DriveLatitude(s), DriveLongitude(s), 520));
            // A damaged copy and a sentence without a fix change nothing.
            std::string damaged =
                NmeaSentence(RmcBody(12, 0, s + 0.5, true, 10, 10, 1, 1, 1, 6, 15));
            damaged[damaged.size() - 4] = damaged[damaged.size() - 4] == '0' ? '1' : '0';
            text += damaged;
            text += NmeaSentence("GPGSV,1,1,00");
        }
        fixtures::WriteBytes(dir.File(name.substr(0, name.rfind('.')) + ".NMEA"),
                             Bytes(text.begin(), text.end()));
        clip.fixesPerSecond = 1;
        break;
    }
    }
    fixtures::WriteBytes(clip.path, bytes);
    return clip;
}

} // namespace kolvex::testing
