#pragma once
// The program's command line: what it asks for and the texts it prints. It is read before any
// window exists, so that --help and --version work without a display.
#include <iosfwd>
#include <string>
#include <vector>

namespace pkm {

enum class CommandAction {
    Window,  // no arguments: the wizard
    Help,    // -h, --help
    Version, // -V, --version
    Usage,   // anything else: the problem and the help on standard error, exit status 2
};

struct CommandLine {
    CommandAction action = CommandAction::Window;
    // What was wrong with the arguments (Usage).
    std::string problem;
};

// The arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string helpText();
std::string versionText();

// Prints what a command line other than Window asks for and returns the exit status.
int runCommandLine(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

} // namespace pkm
