#include "app/command_line.h"

#include <array>
#include <ostream>

#ifndef PAKMASTER_VERSION
#error "PAKMASTER_VERSION is set by the build"
#endif

namespace pkm {

namespace {

struct Option {
    const char* shortName;
    const char* longName;
    CommandAction action;
    const char* description;
};

// Every option, in the order the help lists them.
constexpr std::array kOptions {
    Option {"-h", "--help", CommandAction::Help, "show this help and exit"},
    Option {"-V", "--version", CommandAction::Version, "show the version and exit"},
};

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    if (args.empty())
        return result;
    const std::string& first = args.front();
    for (const Option& option : kOptions) {
        if (first == option.shortName || first == option.longName) {
            result.action = option.action;
            break;
        }
    }
    if (result.action == CommandAction::Window) {
        result.action = CommandAction::Usage;
        result.problem = !first.empty() && first.front() == '-' ? "unknown option '" + first + "'"
                                                                 : "unexpected argument '" + first + "'";
    } else if (args.size() > 1) {
        result.action = CommandAction::Usage;
        result.problem = "unexpected argument '" + args[1] + "' after " + first;
    }
    return result;
}

std::string helpText()
{
    std::string text = "Usage: pakmaster [OPTION]\n"
                       "Pakmaster fills a release's details into NFO and DIZ templates, compresses a directory\n"
                       "into disk-sized volumes and packs them into a numbered series of zip files.\n"
                       "Without an option it opens the wizard.\n"
                       "\n"
                       "Options:\n";
    for (const Option& option : kOptions) {
        std::string names = std::string("  ") + option.shortName + ", " + option.longName;
        names.resize(18, ' ');
        text += names + option.description + "\n";
    }
    text += "\n"
            "Files:\n"
            "  Release.ini holds the sections and settings; the NFO and DIZ templates are named in it.\n"
            "  An installed copy keeps them, and the files it writes when \"Output dir\" is empty, in\n"
            "  $XDG_CONFIG_HOME/pakmaster/ (default ~/.config/pakmaster/), which the first start fills\n"
            "  from the example set. A copy run from its build or unpacked directory keeps them beside\n"
            "  the program.\n";
    return text;
}

std::string versionText()
{
    return std::string("Pakmaster ") + PAKMASTER_VERSION + "\n";
}

int runCommandLine(const CommandLine& commandLine, std::ostream& out, std::ostream& err)
{
    switch (commandLine.action) {
    case CommandAction::Help:
        out << helpText();
        return 0;
    case CommandAction::Version:
        out << versionText();
        return 0;
    case CommandAction::Usage:
        err << "pakmaster: " << commandLine.problem << "\n\n" << helpText();
        return 2;
    case CommandAction::Window:
        break;
    }
    return 0;
}

} // namespace pkm
