#include "tracks/gpmf_reader.h"

#include "tracks/utc_time.h"

#include <cmath>
#include <cstring>
#include <string>
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

// The values of a record as numbers, each element typed by elementTypes
// (one type for all when it has one character).
std::vector<double> Numbers(const Record& r, const std::string& elementTypes) {
    std::vector<double> values;
    if (elementTypes.size() == 1) {
        const size_t size = TypeSize(elementTypes[0]);
        if (size == 0)
            return values;
        const size_t count = r.dataSize / size;
        values.reserve(count);
        for (size_t i = 0; i < count; ++i)
            values.push_back(ValueAt(elementTypes[0], r.data + i * size));
        return values;
    }
    size_t structBytes = 0;
    for (char t : elementTypes) {
        if (TypeSize(t) == 0)
            return values;
        structBytes += TypeSize(t);
    }
    if (structBytes != r.structSize)
        return values;
    for (size_t s = 0; s < r.repeat; ++s) {
        const uint8_t* p = r.data + s * r.structSize;
        for (char t : elementTypes) {
            values.push_back(ValueAt(t, p));
            p += TypeSize(t);
        }
    }
    return values;
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

// What the metadata records of a stream say about its data record.
struct StreamState {
    std::vector<double> scale;
    std::string elementTypes; // from TYPE, for '?' records
    std::string orientation;  // from ORIN
    int fix = -1;             // GPSF; -1 = not given
    int64_t utcMs = -1;       // GPSU
    double precision = -1;    // GPSP (dilution of precision * 100)
};

double ScaleOf(const StreamState& state, size_t element) {
    double s = 1;
    if (state.scale.size() == 1)
        s = state.scale[0];
    else if (element < state.scale.size())
        s = state.scale[element];
    return s != 0 && std::isfinite(s) ? s : 1;
}

bool PlausiblePosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90 &&
           std::fabs(longitude) <= 180;
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
            state.scale = Numbers(r, std::string(1, r.type));
        } else if (r.Is("TYPE") && r.type == 'c') {
            state.elementTypes.assign(reinterpret_cast<const char*>(r.data), r.dataSize);
            while (!state.elementTypes.empty() && state.elementTypes.back() == '\0')
                state.elementTypes.pop_back();
        } else if (r.Is("ORIN") && r.type == 'c') {
            state.orientation.assign(reinterpret_cast<const char*>(r.data), r.dataSize);
        } else if (r.Is("GPSF")) {
            const auto v = Numbers(r, std::string(1, r.type));
            // Any type may carry it: a value no fix kind has is no fix.
            state.fix = !v.empty() && v[0] >= 0 && v[0] <= 3 ? static_cast<int>(v[0]) : 0;
        } else if (r.Is("GPSU") && r.type == 'U') {
            state.utcMs = GpsuTime(r);
        } else if (r.Is("GPSP")) {
            const auto v = Numbers(r, std::string(1, r.type));
            state.precision = v.empty() ? -1 : v[0];
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
        const size_t perSample = r.structSize / size;
        const std::vector<double> v = Numbers(r, std::string(1, r.type));
        for (size_t i = 0; i < r.repeat; ++i) {
            const double* e = v.data() + i * perSample;
            if ((i + 1) * perSample > v.size())
                break;
            TelemetryFix f;
            f.latitude = e[0] / ScaleOf(state, 0);
            f.longitude = e[1] / ScaleOf(state, 1);
            f.altitude = e[2] / ScaleOf(state, 2);
            f.speedMps = e[3] / ScaleOf(state, 3);
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
    // its own time and fix.
    void TakeGps9(const Record& r, const StreamState& state) {
        if (state.elementTypes.size() < 9)
            return;
        const std::vector<double> v = Numbers(r, state.elementTypes);
        const size_t per = state.elementTypes.size();
        for (size_t i = 0; i < r.repeat && (i + 1) * per <= v.size(); ++i) {
            const double* e = v.data() + i * per;
            TelemetryFix f;
            f.latitude = e[0] / ScaleOf(state, 0);
            f.longitude = e[1] / ScaleOf(state, 1);
            f.altitude = e[2] / ScaleOf(state, 2);
            f.speedMps = e[3] / ScaleOf(state, 3);
            if (!PlausiblePosition(f.latitude, f.longitude))
                continue;
            const double days = e[5] / ScaleOf(state, 5);
            const double seconds = e[6] / ScaleOf(state, 6);
            f.fix = e[8] / ScaleOf(state, 8) >= 2;
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
    static bool AxisMap(const std::string& orientation, int (&axis)[3], double (&sign)[3]) {
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
        const std::vector<double> v = Numbers(r, std::string(1, r.type));
        const size_t per = r.structSize / size;
        int axis[3];
        double sign[3];
        if (!AxisMap(state.orientation, axis, sign))
            AxisMap("YxZ", axis, sign);
        for (size_t i = 0; i < r.repeat && (i + 1) * per <= v.size(); ++i) {
            double camera[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k)
                camera[axis[k]] = sign[k] * v[i * per + static_cast<size_t>(k)] /
                                  ScaleOf(state, static_cast<size_t>(k)) / kStandardGravity;
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
