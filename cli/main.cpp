// kolvex-cli: the player's reader and library without a window.
#include "command.h"
#include "standard_output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kolvex::cli {

static std::vector<Command>& Table() {
    static std::vector<Command> table;
    return table;
}

bool RegisterCommand(Command command) {
    Table().push_back(std::move(command));
    return true;
}

const std::vector<Command>& Commands() {
    auto& table = Table();
    std::sort(table.begin(), table.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    return table;
}

static void PrintHelp(std::FILE* out) {
    std::fprintf(out, "Usage: kolvex-cli COMMAND [ARGS...]\n\n"
                      "Reads dash-camera recordings without the player's window.\n\n"
                      "Commands:\n");
    for (const auto& c : Commands())
        std::fprintf(out, "  %-32s %s\n", c.synopsis.c_str(), c.summary.c_str());
    std::fprintf(out, "\nkolvex-cli COMMAND --help shows the options of one command.\n");
}

// What a command printed is only delivered once standard output took all
// of it: a full disk or a closed pipe must not end in status 0 with a
// cut-off file behind. The status of a command that failed anyway stays.
static int FinishOutput(const char* command, int status) {
    const int error = FinishStandardOutput();
    if (error == 0)
        return status;
    std::fprintf(stderr, "kolvex-cli %s: cannot write the standard output: %s\n", command,
                 std::strerror(error));
    return status == kOk ? kFailure : status;
}

} // namespace kolvex::cli

int main(int argc, char** argv) {
    using namespace kolvex::cli;
    CaptureStandardOutputErrors();
    if (argc < 2) {
        PrintHelp(stderr);
        return kUsage;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        PrintHelp(stdout);
        return FinishOutput("--help", kOk);
    }
    for (const auto& c : Commands()) {
        if (c.name == argv[1])
            return FinishOutput(c.name.c_str(),
                                c.run(std::vector<std::string>(argv + 2, argv + argc)));
    }
    std::fprintf(stderr, "kolvex-cli: unknown command '%s' (see kolvex-cli --help)\n", argv[1]);
    return kUsage;
}
