#include "tracks/gpmf_reader.h"

#include "tracks/utc_time.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace kolvex {

namespace {

// Deeper nesting than any camera writes is damage; it also bounds the
// recursion.
constexpr int kMaxDepth = 8;

uint32_t BE32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint64_t BE64(const uint8_t* p) {
    return (uint64_t{BE32(p)} << 32) | BE32(p + 4);
}

// Bytes of one value of a GPMF type; 0 for types that are no number.
size_t TypeSize(char type) {
    switch (type) {
    case 'b':
    case 'B':
    case 'c':
        return 1;
    case 's':
    case 'S':
        return 2;
    case 'l':
    case 'L':
    case 'f':
    case 'q':
    case 'F':
        return 4;
    case 'd':
    case 'j':
    case 'J':
    case 'Q':
        return 8;
    default:
        return 0;
    }
}

// One big-endian value of a numeric type (TypeSize(type) bytes at p).
double ValueAt(char type, const uint8_t* p) {
    switch (type) {
    case 'b':
        return static_cast<int8_t>(p[0]);
    case 'B':
        return p[0];
    case 's':
        return static_cast<int16_t>((p[0] << 8) | p[1]);
    case 'S':
        return static_cast<uint16_t>((p[0] << 8) | p[1]);
    case 'l':
        return static_cast<int32_t>(BE32(p));
    case 'L':
        return BE32(p);
    case 'q':
        return static_cast<int32_t>(BE32(p)) / 65536.0;
    case 'f': {
        const uint32_t bits = BE32(p);
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    case 'd': {
        const uint64_t bits = BE64(p);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    case 'j':
        return static_cast<double>(static_cast<int64_t>(BE64(p)));
    case 'J':
        return static_cast<double>(BE64(p));
    case 'Q':
        return static_cast<double>(static_cast<int64_t>(BE64(p))) / 4294967296.0;
    default:
        return 0;
    }
}

struct Record {
    char key[4];
    char type;
    size_t structSize;
    size_t repeat;
    const uint8_t* data;
    size_t dataSize; // structSize * repeat, without padding
    bool Is(const char* wanted) const { return std::memcmp(key, wanted, 4) == 0; }
};

// How many values of the record's own type it holds (its bytes over the
// type's size; 0 for types that are no number).
size_t ValueCount(const Record& r) {
    const size_t size = TypeSize(r.type);
    return size == 0 ? 0 : r.dataSize / size;
}

// The record's value at index, in its own type: ValueCount(r) > index.
double ValueOf(const Record& r, size_t index) {
    return ValueAt(r.type, r.data + index * TypeSize(r.type));
}

// "yymmddhhmmss.sss" (UTC) to milliseconds since 1970; -1 if malformed.
int64_t GpsuTime(const Record& r) {
    if (r.dataSize < 16)
        return -1;
    char text[17] = {};
    std::memcpy(text, r.data, 16);
    int field[6];
    for (int i = 0; i < 6; ++i) {
        const char a = text[i * 2], b = text[i * 2 + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9')
            return -1;
        field[i] = (a - '0') * 10 + (b - '0');
    }
    double fraction = 0;
    if (text[12] == '.') {
        double scale = 0.1;
        for (int i = 13; i < 16 && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
            fraction += (text[i] - '0') * scale;
    }
    return UtcMs(2000 + field[0], field[1], field[2], field[3], field[4], field[5] + fraction);
}

// Scales beyond this many elements are kept as their count only: no
// record reads an element past the ninth.
constexpr size_t kKeptScales = 16;

// What the metadata records of a stream say about its data record. Texts
// point into the payload, which outlives the walk over it.
struct StreamState {
    double scale[kKeptScales] = {};
    size_t scaleCount = 0;
    std::string_view elementTypes; // from TYPE, for '?' records
    std::string_view orientation;  // from ORIN
    int fix = -1;                  // GPSF; -1 = not given
    int64_t utcMs = -1;            // GPSU
    double precision = -1;         // GPSP (dilution of precision * 100)
};

double ScaleOf(const StreamState& state, size_t element) {
    double s = 1;
    if (state.scaleCount == 1)
        s = state.scale[0];
    else if (element < state.scaleCount && element < kKeptScales)
        s = state.scale[element];
    return s != 0 && std::isfinite(s) ? s : 1;
}

bool PlausiblePosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90 &&
           std::fabs(longitude) <= 180;
}

// Reserves room for more elements geometrically, so that many small
// appends cost no more than growing one element at a time.
template <typename T> void MakeRoom(std::vector<T>& values, size_t more) {
    const size_t wanted = values.size() + more;
    if (wanted > values.capacity())
        values.reserve(std::max(wanted, values.capacity() * 2));
}

class PayloadReader {
public:
    PayloadReader(double startSec, double durationSec, TelemetryTrack& out)
        : m_start(startSec), m_duration(durationSec), m_out(out) {}

    // Cameras that write GPS9 write the same fixes as GPS5 too: the GPS9
    // stream, with a time and a fix per sample, is taken alone then, so
    // that no position is laid out twice.
    void Finish() {
        if (!m_tookGps9)
            m_out.fixes.insert(m_out.fixes.end(), m_gps5.begin(), m_gps5.end());
    }

    void Walk(const uint8_t* data, size_t size, int depth) {
        if (depth > kMaxDepth)
            return;
        StreamState state;
        size_t p = 0;
        while (size - p >= 8) {
            Record r;
            std::memcpy(r.key, data + p, 4);
            r.type = static_cast<char>(data[p + 4]);
            r.structSize = data[p + 5];
            r.repeat = static_cast<size_t>((data[p + 6] << 8) | data[p + 7]);
            r.dataSize = r.structSize * r.repeat;
            const size_t padded = (r.dataSize + 3) & ~size_t{3};
            if (padded > size - p - 8)
                return; // claims more than its parent holds: the rest is damage
            r.data = data + p + 8;
            p += 8 + padded;
            if (r.key[0] == 0 && r.type == 0 && r.dataSize == 0)
                continue; // padding
            if (r.type == 0) {
                Walk(r.data, r.dataSize, depth + 1);
                continue;
            }
            Take(r, state);
        }
    }

private:
    void Take(const Record& r, StreamState& state) {
        if (r.Is("SCAL")) {
            state.scaleCount = ValueCount(r);
            for (size_t i = 0; i < state.scaleCount && i < kKeptScales; ++i)
                state.scale[i] = ValueOf(r, i);
        } else if (r.Is("TYPE") && r.type == 'c') {
            state.elementTypes =
                std::string_view(reinterpret_cast<const char*>(r.data), r.dataSize);
            while (!state.elementTypes.empty() && state.elementTypes.back() == '\0')
                state.elementTypes.remove_suffix(1);
        } else if (r.Is("ORIN") && r.type == 'c') {
            state.orientation = std::string_view(reinterpret_cast<const char*>(r.data), r.dataSize);
        } else if (r.Is("GPSF")) {
            // Any type may carry it: a value no fix kind has is no fix.
            const double v = ValueCount(r) != 0 ? ValueOf(r, 0) : -1;
            state.fix = v >= 0 && v <= 3 ? static_cast<int>(v) : 0;
        } else if (r.Is("GPSU") && r.type == 'U') {
            state.utcMs = GpsuTime(r);
        } else if (r.Is("GPSP")) {
            state.precision = ValueCount(r) != 0 ? ValueOf(r, 0) : -1;
        } else if (r.Is("GPS5") && r.structSize >= 20) {
            TakeGps5(r, state);
        } else if (r.Is("GPS9") && r.type == '?') {
            TakeGps9(r, state);
        } else if (r.Is("ACCL")) {
            TakeAccl(r, state);
        }
    }

    double TimeOf(size_t index, size_t count) const {
        return m_start + m_duration * static_cast<double>(index) / static_cast<double>(count);
    }

    void TakeGps5(const Record& r, const StreamState& state) {
        const size_t size = TypeSize(r.type);
        if (size == 0 || r.structSize / size < 5 || r.repeat == 0)
            return;
        // Values are read in the record's type one after another, each
        // sample perSample of them (a structure's odd bytes are not skipped).
        const size_t perSample = r.structSize / size;
        const size_t count = ValueCount(r);
        const double scale[4] = {ScaleOf(state, 0), ScaleOf(state, 1), ScaleOf(state, 2),
                                 ScaleOf(state, 3)};
        MakeRoom(m_out.fixes, r.repeat);
        for (size_t i = 0; i < r.repeat && (i + 1) * perSample <= count; ++i) {
            const uint8_t* e = r.data + i * perSample * size;
            TelemetryFix f;
            f.latitude = ValueAt(r.type, e) / scale[0];
            f.longitude = ValueAt(r.type, e + size) / scale[1];
            f.altitude = ValueAt(r.type, e + 2 * size) / scale[2];
            f.speedMps = ValueAt(r.type, e + 3 * size) / scale[3];
            if (!PlausiblePosition(f.latitude, f.longitude))
                continue;
            f.fix = state.fix >= 0 ? state.fix >= 2 : !(f.latitude == 0 && f.longitude == 0);
            f.timeSec = TimeOf(i, r.repeat);
            if (state.utcMs >= 0)
                f.utcMs = state.utcMs + std::llround((f.timeSec - m_start) * 1000);
            m_gps5.push_back(f);
        }
    }

    // Latitude, longitude, altitude, 2D speed, 3D speed, days since 2000,
    // seconds since midnight, dilution of precision, fix: each sample has
    // its own time and fix. The structure is as TYPE says, every element of
    // a numeric type.
    void TakeGps9(const Record& r, const StreamState& state) {
        constexpr size_t kUsed = 9;
        if (state.elementTypes.size() < kUsed)
            return;
        size_t offsets[kUsed];
        size_t structBytes = 0;
        for (size_t k = 0; k < state.elementTypes.size(); ++k) {
            const size_t size = TypeSize(state.elementTypes[k]);
            if (size == 0)
                return;
            if (k < kUsed)
                offsets[k] = structBytes;
            structBytes += size;
        }
        if (structBytes != r.structSize)
            return;
        double scale[kUsed];
        for (size_t k = 0; k < kUsed; ++k)
            scale[k] = ScaleOf(state, k);
        const auto value = [&](const uint8_t* sample, size_t k) {
            return ValueAt(state.elementTypes[k], sample + offsets[k]);
        };
        MakeRoom(m_out.fixes, r.repeat);
        for (size_t i = 0; i < r.repeat; ++i) {
            const uint8_t* e = r.data + i * r.structSize;
            TelemetryFix f;
            f.latitude = value(e, 0) / scale[0];
            f.longitude = value(e, 1) / scale[1];
            f.altitude = value(e, 2) / scale[2];
            f.speedMps = value(e, 3) / scale[3];
            if (!PlausiblePosition(f.latitude, f.longitude))
                continue;
            const double days = value(e, 5) / scale[5];
            const double seconds = value(e, 6) / scale[6];
            f.fix = value(e, 8) / scale[8] >= 2;
            f.timeSec = TimeOf(i, r.repeat);
            if (days > 0 && days < 100000 && seconds >= 0 && seconds < 86401)
                f.utcMs = (DaysFromCivil(2000, 1, 1) + static_cast<int64_t>(days)) * 86400000 +
                          std::llround(seconds * 1000);
            m_out.fixes.push_back(f);
            m_tookGps9 = true;
        }
    }

    // The camera axis of each element: "YxZ" means the first value is the
    // camera's Y, the second its -X, the third its Z.
    static bool AxisMap(std::string_view orientation, int (&axis)[3], double (&sign)[3]) {
        if (orientation.size() < 3)
            return false;
        bool seen[3] = {false, false, false};
        for (int i = 0; i < 3; ++i) {
            const char c = orientation[static_cast<size_t>(i)];
            const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
            if (upper < 'X' || upper > 'Z' || seen[upper - 'X'])
                return false;
            axis[i] = upper - 'X';
            seen[axis[i]] = true;
            sign[i] = c == upper ? 1 : -1;
        }
        return true;
    }

    void TakeAccl(const Record& r, const StreamState& state) {
        const size_t size = TypeSize(r.type);
        if (size == 0 || r.structSize < 3 * size || r.repeat == 0)
            return;
        const size_t count = ValueCount(r);
        const size_t per = r.structSize / size;
        int axis[3];
        double sign[3];
        if (!AxisMap(state.orientation, axis, sign))
            AxisMap("YxZ", axis, sign);
        const double scale[3] = {ScaleOf(state, 0), ScaleOf(state, 1), ScaleOf(state, 2)};
        MakeRoom(m_out.accels, r.repeat);
        for (size_t i = 0; i < r.repeat && (i + 1) * per <= count; ++i) {
            const uint8_t* e = r.data + i * per * size;
            double camera[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k)
                camera[axis[k]] = sign[k] * ValueAt(r.type, e + static_cast<size_t>(k) * size) /
                                  scale[k] / kStandardGravity;
            m_out.accels.push_back({TimeOf(i, r.repeat), camera[0], camera[1], camera[2]});
        }
    }

    double m_start;
    double m_duration;
    TelemetryTrack& m_out;
    std::vector<TelemetryFix> m_gps5;
    bool m_tookGps9 = false;
};

} // namespace

void ReadGpmfPayload(const uint8_t* data, size_t size, double startSec, double durationSec,
                     TelemetryTrack& out) {
    if (!data || !std::isfinite(startSec) || !std::isfinite(durationSec) || durationSec < 0)
        return;
    PayloadReader reader(startSec, durationSec, out);
    reader.Walk(data, size, 0);
    reader.Finish();
}

} // namespace kolvex
