#include "clip_encoder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kolvex::samplecard {

namespace {

std::string Size(const ClipRequest& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height);
}

// Low rates keep the card small; the test picture stays readable.
std::string VideoBitrate(const ClipRequest& r) {
    return r.width * r.height > 1280 * 720 ? "1200k" : "700k";
}

std::string CaptionFilter(const ClipRequest& r, const std::string& fontFile) {
    const int fontSize = r.height / 20;
    // The clock is the presentation time shown as a calendar date, counted
    // from the recording's start on the camera's own clock.
    return "drawtext=fontfile=" + fontFile + ":fontsize=" + std::to_string(fontSize) +
           ":fontcolor=white:box=1:boxcolor=black@0.6:boxborderw=6:x=" + std::to_string(fontSize) +
           ":y=h-" + std::to_string(fontSize * 2) + ":text='" + r.caption +
           "   %{pts\\:gmtime\\:" + std::to_string(r.start.ToSeconds()) +
           "\\:%Y-%m-%d %H\\\\\\:%M\\\\\\:%S}'";
}

// Everything ffmpeg said on its error stream, for the message of a failure.
std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return text;
}

} // namespace

std::vector<std::string> FfmpegArguments(const ClipRequest& r, const std::string& fontFile) {
    const std::string seconds = std::to_string(r.seconds);
    std::vector<std::string> args = {"-hide_banner", "-nostdin", "-loglevel", "error", "-y"};
    const std::string source = r.front ? "testsrc2" : "testsrc";
    args.insert(args.end(), {"-f", "lavfi", "-i",
                             source + "=size=" + Size(r) + ":rate=30:duration=" + seconds});
    if (r.front) {
        args.insert(args.end(), {"-f", "lavfi", "-i",
                                 "anoisesrc=color=brown:amplitude=0.04:sample_rate=16000:seed=" +
                                     std::to_string(r.seed) + ":duration=" + seconds});
    }
    if (!fontFile.empty())
        args.insert(args.end(), {"-vf", CaptionFilter(r, fontFile)});
    args.insert(args.end(), {"-map", "0:v"});
    args.insert(args.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-b:v", VideoBitrate(r),
                             "-g", "30", "-pix_fmt", "yuv420p", "-threads", "2"});
    if (r.front) {
        args.insert(args.end(), {"-map", "1:a", "-ac", "1"});
        if (r.format == "avi")
            args.insert(args.end(), {"-c:a", "pcm_s16le"});
        else
            args.insert(args.end(), {"-c:a", "aac", "-b:a", "48k"});
    }
    // No encoder versions or dates in the container: the card's bytes
    // depend on its description only.
    args.insert(args.end(), {"-map_metadata", "-1", "-fflags", "+bitexact", "-flags:v", "+bitexact",
                             "-flags:a", "+bitexact", "-f", r.format, r.path});
    return args;
}

std::string FindCaptionFont() {
    for (const char* candidate : {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
                                  "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
        if (std::filesystem::exists(candidate))
            return candidate;
    }
    return {};
}

void EncodeClip(const ClipRequest& request, const std::string& fontFile) {
    const char* configured = std::getenv("KOLVEX_FFMPEG");
    const std::string program = configured && *configured ? configured : "ffmpeg";
    std::vector<std::string> args = FfmpegArguments(request, fontFile);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int errors[2];
    if (pipe2(errors, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
    pid_t pid = 0;
    const int spawned =
        posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(errors[1]);
    if (spawned != 0) {
        close(errors[0]);
        throw std::runtime_error("cannot run " + program + ": " + std::strerror(spawned) +
                                 " (install ffmpeg or set KOLVEX_FFMPEG)");
    }
    const std::string complaint = ReadAll(errors[0]);
    close(errors[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(program + " failed to encode " + request.path + ": " +
                                 (complaint.empty() ? "no message" : complaint));
}

} // namespace kolvex::samplecard
