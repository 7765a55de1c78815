// kolvex-cli settings: which "Kolvex.ini" the player uses when started from
// the current folder with the current environment, and why.
#include "command.h"

#include "settings_location.h"

#include <cstdio>

namespace kolvex::cli {
namespace {

int RunSettings(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("Usage: kolvex-cli settings\n\n"
                    "Prints the settings file the player uses when started here: a\n"
                    "Kolvex.ini in the current folder when there is one, otherwise\n"
                    "$XDG_CONFIG_HOME/kolvex/Kolvex.ini (~/.config/kolvex/ when unset),\n"
                    "and says when that folder cannot be made.\n\n"
                    "Exit status: 0 printed, 1 the settings cannot be kept, 64 bad command "
                    "line.\n");
        return kOk;
    }
    if (!args.empty()) {
        std::fprintf(stderr, "Usage: kolvex-cli settings\n");
        return kUsage;
    }
    const SettingsLocation& location = ProcessSettingsLocation();
    std::printf("%s\n", DescribeSettingsLocation(location).toLocal8Bit().constData());
    return location.problem.isEmpty() ? kOk : kFailure;
}

} // namespace

KOLVEX_CLI_COMMAND({"settings", "settings", "which Kolvex.ini the player uses, and why",
                    RunSettings});

} // namespace kolvex::cli
