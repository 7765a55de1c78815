// kolvex-cli clip PATH --from TIME --to TIME [--layout front|side|inset]
// [--no-overlay] [--mph] --out FILE: a moment of a drive as one MP4 file,
// with the record of where it came from beside it.
#include "command.h"
#include "file_identity.h"
#include "recording_path.h"
#include "scan_progress.h"

#include "library/native_path.h"
#include "playback/clip/clip_plan.h"
#include "playback/clip/clip_record.h"
#include "playback/clip/clip_writer.h"
#include "tracks/track_math.h"

#include <QGuiApplication>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <regex>
#include <unistd.h>

namespace kolvex::cli {
namespace {

constexpr const char* kUsageLine =
    "Usage: kolvex-cli clip PATH --from TIME --to TIME [--layout front|side|inset]\n"
    "                       [--no-overlay] [--mph] --out FILE\n";

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int) {
    g_interrupted.store(true);
}

// A moment named on the command line: seconds into the recording, or the
// camera's clock (a date and time, or a time on the recording's day).
struct Moment {
    bool absolute = false;
    double seconds = 0;       // relative moment
    int64_t epochSec = 0;     // absolute: the camera's clock as local time
    bool timeOfDay = false;   // absolute without a date
    int hour = 0, minute = 0; // time of day
    double second = 0;
};

std::optional<Moment> ParseMoment(const std::string& text) {
    static const std::regex seconds(R"(^\d+(\.\d+)?$)");
    static const std::regex dated(R"(^(\d{4})-(\d{2})-(\d{2})[ T](\d{1,2}):(\d{2}):(\d{2})$)");
    static const std::regex daytime(R"(^(\d{1,2}):(\d{2}):(\d{2}(\.\d+)?)$)");
    std::smatch m;
    Moment moment;
    if (std::regex_match(text, seconds)) {
        moment.seconds = std::strtod(text.c_str(), nullptr);
        return moment;
    }
    if (std::regex_match(text, m, dated)) {
        int64_t epoch = 0;
        if (!LocalTimeToEpoch(std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]),
                              std::stoi(m[5]), std::stoi(m[6]), epoch))
            return std::nullopt;
        moment.absolute = true;
        moment.epochSec = epoch;
        return moment;
    }
    if (std::regex_match(text, m, daytime)) {
        moment.absolute = moment.timeOfDay = true;
        moment.hour = std::stoi(m[1]);
        moment.minute = std::stoi(m[2]);
        moment.second = std::strtod(m[3].str().c_str(), nullptr);
        if (moment.hour > 23 || moment.minute > 59 || moment.second >= 60)
            return std::nullopt;
        return moment;
    }
    return std::nullopt;
}

// The moment in ms of the camera's clock (local time as epoch); a time of
// day is taken on the day `dayOf` falls on.
int64_t MomentClockMs(const Moment& moment, int64_t dayOf) {
    if (!moment.timeOfDay)
        return moment.epochSec * 1000;
    std::time_t t = static_cast<std::time_t>(dayOf);
    std::tm fields{};
    localtime_r(&t, &fields);
    int64_t epoch = 0;
    LocalTimeToEpoch(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, moment.hour,
                     moment.minute, 0, epoch);
    return epoch * 1000 + static_cast<int64_t>(std::llround(moment.second * 1000));
}

// The recording whose span holds the clock time `ms`; -1 when none does.
int EntryAt(const CRecordingManager& manager, int64_t ms) {
    const auto& entries = manager.Entries();
    for (size_t e = 0; e < entries.size(); ++e) {
        const VideoMetaInfo& meta = entries[e].meta;
        if (meta.startTime != 0 && ms >= meta.startTime * 1000 &&
            ms < meta.startTime * 1000 + meta.durationMs)
            return static_cast<int>(e);
    }
    return -1;
}

class TerminalClipProgress {
public:
    TerminalClipProgress() : m_enabled(::isatty(STDERR_FILENO) == 1) {}
    ~TerminalClipProgress() {
        if (m_shown)
            std::fprintf(stderr, "\r\033[K");
    }
    void Show(const ClipProgress& p) {
        if (!m_enabled)
            return;
        m_shown = true;
        if (p.secondsLeft >= 0)
            std::fprintf(stderr, "\r\033[Kkolvex-cli clip: %d %%, %d s left",
                         static_cast<int>(p.fraction * 100),
                         static_cast<int>(std::ceil(p.secondsLeft)));
        else
            std::fprintf(stderr, "\r\033[Kkolvex-cli clip: %d %%",
                         static_cast<int>(p.fraction * 100));
        std::fflush(stderr);
    }

private:
    bool m_enabled;
    bool m_shown = false;
};

int RunClip(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf(
            "%s\n"
            "Writes the moment from --from to --to as one MP4 file, FILE, and beside\n"
            "it FILE.json (the source files with their sizes, modification times and\n"
            "SHA-256, the range in each, the camera's start times, the clip's SHA-256,\n"
            "the program's version and the GPS track) and FILE.gpx (that track).\n\n"
            "PATH is a recording or a folder. TIME is seconds into the recording (into\n"
            "the first recording of a folder), or the camera's clock as\n"
            "'YYYY-MM-DD HH:MM:SS' or 'HH:MM:SS' (on the recording's day). A range may\n"
            "run on into the following recordings of the same group: the clip plays\n"
            "them one after another.\n\n"
            "  --layout front|side|inset  the front camera alone (default), front and\n"
            "                             rear side by side, or the rear inset in the front\n"
            "  --no-overlay               no burnt-in date, time, speed, position,\n"
            "                             heading and G-force\n"
            "  --mph                      the overlay's speed in mph instead of km/h\n\n"
            "Without the overlay and with the front camera alone the recordings are cut\n"
            "without re-encoding, at the key frames around the range; otherwise the\n"
            "clip is encoded as H.264 with the front camera's sound. FILE is replaced\n"
            "only once it is complete; Ctrl+C stops and leaves nothing behind.\n\n"
            "Exit status: 0 written, 1 not written (the reason on standard error),\n"
            "2 no such file or folder, 64 wrong command line.\n",
            kUsageLine);
        return kOk;
    }
    std::string path, from, to, out, layout = "front";
    bool overlay = true, kmh = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--from" && hasValue)
            from = args[++i];
        else if (a == "--to" && hasValue)
            to = args[++i];
        else if (a == "--out" && hasValue)
            out = args[++i];
        else if (a == "--layout" && hasValue)
            layout = args[++i];
        else if (a == "--no-overlay")
            overlay = false;
        else if (a == "--mph")
            kmh = false;
        else if (path.empty() && !a.empty() && a[0] != '-')
            path = a;
        else {
            std::fprintf(stderr, "kolvex-cli clip: unexpected argument '%s'\n%s", a.c_str(),
                         kUsageLine);
            return kUsage;
        }
    }
    if (path.empty() || from.empty() || to.empty() || out.empty()) {
        std::fprintf(stderr, "%s", kUsageLine);
        return kUsage;
    }
    ClipRequest request;
    if (layout == "front")
        request.layout = ClipLayout::Front;
    else if (layout == "side")
        request.layout = ClipLayout::SideBySide;
    else if (layout == "inset")
        request.layout = ClipLayout::RearInset;
    else {
        std::fprintf(stderr, "kolvex-cli clip: unknown layout '%s' (front, side or inset)\n",
                     layout.c_str());
        return kUsage;
    }
    const std::optional<Moment> fromMoment = ParseMoment(from), toMoment = ParseMoment(to);
    if (!fromMoment || !toMoment) {
        std::fprintf(stderr,
                     "kolvex-cli clip: '%s' is no time (seconds, 'YYYY-MM-DD HH:MM:SS' or "
                     "'HH:MM:SS')\n",
                     (!fromMoment ? from : to).c_str());
        return kUsage;
    }

    // A recording is looked up among the recordings of its folder, so that
    // the range can run on into the next ones of its group.
    CRecordingManager loaded;
    TerminalScanProgress scanProgress("clip");
    loaded.SetProgressView(&scanProgress);
    bool isFolder = false;
    if (const int status = LoadPath("clip", path, loaded, isFolder); status != kOk)
        return status;
    int entry = 0;
    CRecordingManager siblings;
    const CRecordingManager* chosen = &loaded;
    if (!isFolder) {
        if (loaded.Entries().empty()) {
            std::fprintf(stderr, "kolvex-cli clip: %s: not a usable recording\n", path.c_str());
            return kFailure;
        }
        FileIdentity wanted;
        IdentityOf(path, wanted);
        QString folder, name;
        SplitFilePath(PathFromNative(path), folder, name);
        siblings.SetProgressView(&scanProgress);
        if (siblings.Load(folder, QString())) {
            for (size_t e = 0; e < siblings.Entries().size(); ++e) {
                FileIdentity identity;
                if (IdentityOf(NativeBytes(siblings.GetPath(static_cast<int>(e))), identity) &&
                    identity == wanted) {
                    chosen = &siblings;
                    entry = static_cast<int>(e);
                    break;
                }
            }
        }
    } else if (loaded.Entries().empty()) {
        std::fprintf(stderr, "kolvex-cli clip: %s: no recordings\n", path.c_str());
        return kFailure;
    }
    const CRecordingManager& manager = *chosen;
    int64_t fromMs = 0, toMs = 0;
    const auto& entries = manager.Entries();
    if (fromMoment->absolute) {
        const int64_t dayOf = entries[static_cast<size_t>(entry)].meta.startTime;
        const int64_t clockMs = MomentClockMs(*fromMoment, dayOf);
        const int at = isFolder ? EntryAt(manager, clockMs) : entry;
        if (at < 0 || entries[static_cast<size_t>(at)].meta.startTime == 0) {
            std::fprintf(stderr, "kolvex-cli clip: no recording was running at %s\n", from.c_str());
            return kFailure;
        }
        entry = at;
        fromMs = clockMs - entries[static_cast<size_t>(entry)].meta.startTime * 1000;
    } else {
        fromMs = static_cast<int64_t>(std::llround(fromMoment->seconds * 1000));
    }
    const int64_t start = entries[static_cast<size_t>(entry)].meta.startTime;
    if (toMoment->absolute) {
        if (start == 0) {
            std::fprintf(stderr, "kolvex-cli clip: the recording's start time is unknown; give "
                                 "--to in seconds\n");
            return kFailure;
        }
        toMs = MomentClockMs(*toMoment, start) - start * 1000;
    } else {
        toMs = static_cast<int64_t>(std::llround(toMoment->seconds * 1000));
    }
    if (toMs <= fromMs || fromMs < 0) {
        std::fprintf(stderr, "kolvex-cli clip: the range from %s to %s is empty\n", from.c_str(),
                     to.c_str());
        return kFailure;
    }
    QString error;
    request.parts = PlanClip(manager, entry, fromMs, toMs, error);
    if (request.parts.empty()) {
        std::fprintf(stderr, "kolvex-cli clip: %s\n", error.toLocal8Bit().constData());
        return kFailure;
    }
    FileIdentity target;
    if (IdentityAt(out, target)) {
        for (const ClipPart& part : request.parts) {
            FileIdentity source;
            if ((IdentityOf(part.frontPath, source) && source == target) ||
                (!part.rearPath.empty() && IdentityOf(part.rearPath, source) && source == target)) {
                std::fprintf(stderr,
                             "kolvex-cli clip: %s: is one of the recordings read; not "
                             "written\n",
                             out.c_str());
                return kFailure;
            }
        }
    }
    request.overlay = overlay;
    request.speedInKmh = kmh;
    request.target = out;

    // The overlay's text is drawn with Qt's fonts, which need a GUI
    // application; it never opens a window.
    std::optional<QGuiApplication> gui;
    if (overlay && !QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "kolvex-cli";
        static char* argv[] = {name, nullptr};
        // Qt's notes about the session (no runtime folder and the like)
        // are no business of a command's standard error.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        gui.emplace(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
    }

    struct sigaction action {
    }, previous{};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous);
    TerminalClipProgress progress;
    ClipResult result = WriteClip(
        request, [&progress](const ClipProgress& p) { progress.Show(p); }, &g_interrupted);
    ::sigaction(SIGINT, &previous, nullptr);
    if (!result.written) {
        std::fprintf(stderr, "\rkolvex-cli clip: %s: not written: %s\n", out.c_str(),
                     result.error.c_str());
        return kFailure;
    }
    std::string recordError;
    if (!WriteClipRecord(request, result, recordError)) {
        std::fprintf(stderr, "kolvex-cli clip: the record of %s: %s\n", out.c_str(),
                     recordError.c_str());
        return kFailure;
    }
    if (result.streamCopied && (result.ranges.front().fromMs != request.parts.front().fromMs ||
                                result.ranges.back().toMs != request.parts.back().toMs))
        std::fprintf(stderr,
                     "kolvex-cli clip: cut without re-encoding at the key frames around the "
                     "range\n");
    std::printf("%s\n", out.c_str());
    return kOk;
}

} // namespace

KOLVEX_CLI_COMMAND({"clip", "clip PATH --from T --to T --out F",
                    "a moment of a drive as one MP4 file with its record", RunClip});

} // namespace kolvex::cli
