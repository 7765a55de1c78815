// GPMF recorded by real cameras (the payloads that the npm package
// gopro-telemetry ships as its samples), wrapped into an H.264 MP4 as a
// camera writes them, read by our reader and compared with what that
// package's own parser reports for the same payloads: positions, speeds,
// altitudes, fixes, times on the recording's clock and in UTC, and the
// accelerometer. scripts/setup.sh installs the package (tests/data).
#include "telemetry_writer.h"
#include "temp_dir.h"
#include "tracks/parse_recording.h"
#include "tracks/telemetry_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace kolvex {
namespace {

using fixtures::Bytes;
using testing::TempDir;

const std::filesystem::path kDataDir = KOLVEX_TEST_DATA_DIR;
const std::filesystem::path kSamples = kDataDir / "node_modules/gopro-telemetry/samples";

struct ReferenceFix {
    double ctsMs, latitude, longitude, altitude, speed;
    bool hasDate = false;
    double dateMs = 0;
    int fix = -1; // -1: not reported
};
struct ReferenceAccel {
    double ctsMs;
    std::array<double, 3> value; // m/s², as stored
};
struct Reference {
    size_t payloads = 0;
    std::vector<ReferenceFix> fixes;
    std::vector<ReferenceAccel> accels;
};

Reference RunReference(const std::filesystem::path& raw) {
    const std::string command = "node '" + (kDataDir / "gpmf_reference.js").string() + "' '" +
                                raw.string() + "' 2>/dev/null";
    Reference ref;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return ref;
    std::string text;
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << "the reference reader failed on " << raw;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::string kind;
        in >> kind;
        if (kind == "payloads") {
            in >> ref.payloads;
        } else if (kind == "gps") {
            ReferenceFix f{};
            std::string date, fix;
            in >> f.ctsMs >> f.latitude >> f.longitude >> f.altitude >> f.speed >> date >> fix;
            f.hasDate = date != "-";
            f.dateMs = f.hasDate ? std::stod(date) : 0;
            f.fix = fix == "-" ? -1 : std::stoi(fix);
            ref.fixes.push_back(f);
        } else if (kind == "accl") {
            ReferenceAccel a{};
            in >> a.ctsMs >> a.value[0] >> a.value[1] >> a.value[2];
            ref.accels.push_back(a);
        }
    }
    return ref;
}

// The top-level DEVC records of the file, each one payload of the track.
std::vector<Bytes> Payloads(const std::filesystem::path& raw) {
    std::ifstream in(raw, std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Bytes> payloads;
    for (size_t p = 0; p + 8 <= bytes.size();) {
        const size_t size = size_t{bytes[p + 5]} * ((size_t{bytes[p + 6]} << 8) | bytes[p + 7]);
        const size_t end = std::min(bytes.size(), p + 8 + ((size + 3) & ~size_t{3}));
        if (std::string(bytes.begin() + static_cast<long>(p),
                        bytes.begin() + static_cast<long>(p) + 4) == "DEVC")
            payloads.emplace_back(bytes.begin() + static_cast<long>(p),
                                  bytes.begin() + static_cast<long>(end));
        p = end;
    }
    return payloads;
}

std::vector<double> SortedMagnitudes(std::array<double, 3> v) {
    std::vector<double> m = {std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])};
    std::sort(m.begin(), m.end());
    return m;
}

class GpmfReferenceTest : public ::testing::TestWithParam<const char*> {};

TEST_P(GpmfReferenceTest, ReadsWhatTheReferenceReaderReads) {
    const std::filesystem::path raw = kSamples / (std::string(GetParam()) + ".raw");
    ASSERT_TRUE(std::filesystem::exists(raw))
        << raw << " is missing: scripts/setup.sh installs the reference payloads (tests/data)";
    ASSERT_TRUE(fixtures::HaveFfmpeg()) << "ffmpeg makes the test's clip";
    const Reference ref = RunReference(raw);
    const std::vector<Bytes> payloads = Payloads(raw);
    ASSERT_EQ(ref.payloads, payloads.size());
    ASSERT_FALSE(payloads.empty());
    ASSERT_FALSE(ref.accels.empty()) << "every sample file has an accelerometer";

    // One payload a second, as cameras write the track.
    TempDir dir;
    const Bytes clip =
        fixtures::EncodeClip(dir.File("video.mp4"), static_cast<double>(payloads.size()));
    ASSERT_FALSE(clip.empty());
    std::vector<fixtures::TimedSample> samples;
    for (const auto& p : payloads)
        samples.push_back({p, 1000});
    const std::string path = dir.File("GX010001.MP4");
    ASSERT_TRUE(fixtures::WriteBytes(path, fixtures::AddMetadataTrack(clip, "gpmd", samples)));

    VideoMetaInfo meta;
    ASSERT_TRUE(ParseRecording(path, meta));
    EXPECT_EQ(meta.telemetry, TelemetryFormat::Gpmf);
    TelemetryTrack track;
    ASSERT_TRUE(ReadTelemetry(path, meta, track));

    // Positions, speeds and fixes: the same values, sample by sample. Times:
    // the reference spreads a payload's samples by the camera's own
    // microsecond stamps where present, we evenly over the payload.
    ASSERT_EQ(track.fixes.size(), ref.fixes.size());
    for (size_t i = 0; i < ref.fixes.size(); ++i) {
        SCOPED_TRACE("fix " + std::to_string(i));
        const TelemetryFix& ours = track.fixes[i];
        const ReferenceFix& theirs = ref.fixes[i];
        EXPECT_NEAR(ours.latitude, theirs.latitude, 1e-9);
        EXPECT_NEAR(ours.longitude, theirs.longitude, 1e-9);
        EXPECT_NEAR(ours.altitude, theirs.altitude, 1e-6);
        EXPECT_NEAR(ours.speedMps, theirs.speed, 1e-6);
        EXPECT_NEAR(ours.timeSec * 1000, theirs.ctsMs, 100);
        if (theirs.fix >= 0) {
            EXPECT_EQ(ours.fix, theirs.fix >= 2);
        }
        if (theirs.hasDate && ours.utcMs >= 0) {
            EXPECT_NEAR(static_cast<double>(ours.utcMs), theirs.dateMs, 1000);
        }
    }

    // Accelerations: ours are in G on the camera's axes (reordered and
    // signed by the stream's orientation), the reference's in m/s² in the
    // order stored; the magnitudes per axis agree.
    ASSERT_EQ(track.accels.size(), ref.accels.size());
    for (size_t i = 0; i < ref.accels.size(); ++i) {
        SCOPED_TRACE("acceleration " + std::to_string(i));
        const TelemetryAccel& ours = track.accels[i];
        const auto a = SortedMagnitudes(
            {ours.x * kStandardGravity, ours.y * kStandardGravity, ours.z * kStandardGravity});
        const auto b = SortedMagnitudes(ref.accels[i].value);
        for (size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(a[k], b[k], 1e-6);
        EXPECT_NEAR(ours.timeSec * 1000, ref.accels[i].ctsMs, 100);
    }
}

// Every sample file of the package that holds camera payloads.
INSTANTIATE_TEST_SUITE_P(RealCameras, GpmfReferenceTest,
                         ::testing::Values("hero5", "hero6", "hero6+ble", "hero7", "hero11",
                                           "Fusion", "karma", "consecutive1", "consecutive2"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '+', '_');
                             return name;
                         });

} // namespace
} // namespace kolvex
