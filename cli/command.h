// The sub-commands of kolvex-cli register themselves here, so that each one
// lives in its own file (cmd_*.cpp) and main.cpp only dispatches.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kolvex::cli {

// Exit codes shared by every command.
enum ExitCode : int {
    kOk = 0,
    kFailure = 1,  // the input was read but could not be used (e.g. parse failure)
    kNotFound = 2, // a file or folder named on the command line does not exist
    kUsage = 64,   // the command line itself is wrong
};

struct Command {
    std::string name;
    std::string synopsis; // one line for --help, e.g. "probe FILE"
    std::string summary;  // what it does, one line
    std::function<int(const std::vector<std::string>& args)> run;
};

// Adds a command to the table; returns true so it can initialise a static.
bool RegisterCommand(Command command);
const std::vector<Command>& Commands();

} // namespace kolvex::cli

#define KOLVEX_CLI_CONCAT2(a, b) a##b
#define KOLVEX_CLI_CONCAT(a, b) KOLVEX_CLI_CONCAT2(a, b)
// Use at namespace scope in a cmd_*.cpp: KOLVEX_CLI_COMMAND({"probe", "probe FILE", "...", Run});
#define KOLVEX_CLI_COMMAND(...)                                                                    \
    [[maybe_unused]] static const bool KOLVEX_CLI_CONCAT(kolvexCliRegistered_, __LINE__) =         \
        ::kolvex::cli::RegisterCommand(::kolvex::cli::Command __VA_ARGS__)
