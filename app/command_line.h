#pragma once
// The program's command line: what it asks for and the texts it prints. It is read before any
// window exists, so that --help, --version and the commands work without a display.
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

enum class CommandAction {
    Window,   // no arguments: the wizard
    Help,     // -h, --help: the whole help, or after a command that command's
    Version,  // -V, --version
    Usage,    // anything else: the problem and where the help is, on standard error, exit status 2
    Generate, // the NFO and/or DIZ file
    Volumes,  // the Rar page's run
    Zips,     // a zip series and the Zip page's run
    Render,   // a text file drawn as a PNG picture
    Verify,   // a received zip series checked against its checksums
    View,     // one path alone: that file in the fixed-font window, without the wizard
};

// One --set NAME=VALUE (text) or --values FILE (file), in the order given.
struct ValueSource {
    bool file = false;
    std::string text;
    bool operator==(const ValueSource&) const = default;
};

struct GenerateOptions {
    bool nfo = false;
    bool diz = false;
    std::vector<ValueSource> values;
    // --output DIR, written into instead of "Output dir"; the directory must exist.
    std::optional<std::string> output;
};

struct VolumesOptions {
    std::string input;
    std::string output;
    std::string name;
    std::string size = "1440"; // KiB, digits only
    bool ace = false;
};

struct ZipsOptions {
    std::string output;
    std::string name;
    int count = 0; // 1 to 999; 0 until given
    std::vector<std::string> spread;
    std::vector<std::string> each;
    int recovery = 0; // recovery disks, 0 to 9
};

struct RenderOptions {
    std::string file;
    std::string output; // empty: file + ".png"
    int columns = 0;    // --columns: at least this many columns
    int scale = 1;      // --scale: each pixel drawn as scale x scale, 1 to 4
};

struct VerifyOptions {
    std::string checksumFile;
    bool repair = false;
};

struct CommandLine {
    CommandAction action = CommandAction::Window;
    // The command named first, also for its Help and Usage; empty outside a command.
    std::string command;
    // What was wrong with the arguments (Usage).
    std::string problem;
    GenerateOptions generate;
    VolumesOptions volumes;
    ZipsOptions zips;
    RenderOptions render;
    VerifyOptions verify;
    std::string viewFile; // View
};

// The arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The whole help, or with a command's name that command's alone.
std::string helpText(std::string_view command = {});
std::string versionText();

// Prints what --help, --version or a usage error asks for and returns the exit status. A usage
// error is one line naming the problem and one naming the help to read.
int runCommandLine(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

// A failed job's message as the window shows it, on standard error: the caption (none for the
// general error handler's messages) and the text, whose carriage returns start new lines.
void printFailure(std::ostream& err, std::string_view caption, std::string_view text);

} // namespace pkm
