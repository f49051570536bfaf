#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <functional>
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

// The last paragraph of the whole help and of each command's.
constexpr const char* kExitStatusText =
    "Exit status: 0 when the job is done, 1 when it failed (the message the window would show\n"
    "is on standard error), 2 for a usage error.\n";

// Every option, in the order the help lists them.
constexpr std::array kOptions {
    Option {"-h", "--help", CommandAction::Help, "show this help and exit"},
    Option {"-V", "--version", CommandAction::Version, "show the version and exit"},
};

// An option of a command. `apply` takes the value (empty for a flag) and returns what is wrong
// with it, or nothing.
struct CommandOption {
    const char* name;
    bool takesValue;
    std::function<std::string(CommandLine&, const std::string&)> apply;
};

struct Command {
    const char* name;
    CommandAction action;
    const char* synopsis;
    const char* description;
    std::vector<CommandOption> options;
    // The one operand the command takes (render's FILE, verify's SFV_FILE), else nullptr.
    const char* operand;
    // What is missing once every argument is read, or nothing.
    std::function<std::string(const CommandLine&)> missing;
};

// As many columns as a PNG picture is wide at most.
constexpr long kMostRenderColumns = 125000;

bool allDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A whole number from `low` to `high`, or -1.
long boundedNumber(const std::string& text, long low, long high)
{
    if (!allDigits(text) || text.size() > 9)
        return -1;
    const long value = std::stol(text);
    return value >= low && value <= high ? value : -1;
}

std::string set(std::string& field, const std::string& value)
{
    field = value;
    return {};
}

std::string needs(std::initializer_list<std::pair<const char*, bool>> required)
{
    for (const auto& [name, given] : required) {
        if (!given)
            return std::string(name) + " is required";
    }
    return {};
}

const std::vector<Command>& commands()
{
    static const std::vector<Command> list {
        {"generate",
         CommandAction::Generate,
         "[--nfo] [--diz] [--output DIR] [--set NAME=VALUE]... [--values FILE]",
         "Writes the NFO and/or the DIZ file (both when neither flag is given) exactly as Preview\n"
         "does, from Release.ini and its templates, and prints each path written. --output writes\n"
         "them into DIR, which must exist, instead of \"Output dir\". --set gives the value of the\n"
         "sections called NAME; --values FILE holds one NAME=VALUE a line; the last value given for\n"
         "a name wins. Texts are read as UTF-8 and stored in code page 437; a line break in a --set\n"
         "value starts a new line of a multi-line value.\n",
         {
             {"--nfo", false,
              [](CommandLine& c, const std::string&) {
                  c.generate.nfo = true;
                  return std::string();
              }},
             {"--diz", false,
              [](CommandLine& c, const std::string&) {
                  c.generate.diz = true;
                  return std::string();
              }},
             {"--output", true,
              [](CommandLine& c, const std::string& v) {
                  c.generate.output = v;
                  return std::string();
              }},
             {"--set", true,
              [](CommandLine& c, const std::string& v) {
                  if (v.find('=') == std::string::npos)
                      return "--set needs NAME=VALUE, not '" + v + "'";
                  c.generate.values.push_back({false, v});
                  return std::string();
              }},
             {"--values", true,
              [](CommandLine& c, const std::string& v) {
                  c.generate.values.push_back({true, v});
                  return std::string();
              }},
         },
         nullptr,
         [](const CommandLine&) { return std::string(); }},
        {"volumes",
         CommandAction::Volumes,
         "--input DIR --output DIR --name NAME [--size SIZE] [--ace]",
         "Compresses DIR into volumes of SIZE thousand bytes (1440 unless given) named NAME in the\n"
         "output directory, as the Rar page's Start does (--ace as with \"Use ace\" ticked), and\n"
         "prints the archiver's output and the number of volume files. With an NFO and a DIZ of\n"
         "ordinary size beside each volume, a zip fits a disk of 360, 720, 1200, 1440 or 2880 KB\n"
         "with SIZE 340, 700, 1180, 1440 or 2880.\n",
         {
             {"--input", true, [](CommandLine& c, const std::string& v) { return set(c.volumes.input, v); }},
             {"--output", true, [](CommandLine& c, const std::string& v) { return set(c.volumes.output, v); }},
             {"--name", true, [](CommandLine& c, const std::string& v) { return set(c.volumes.name, v); }},
             {"--size", true,
              [](CommandLine& c, const std::string& v) {
                  if (boundedNumber(v, 1, 99999) < 0)
                      return "--size takes a number of thousands of bytes from 1 to 99999, not '" + v + "'";
                  return set(c.volumes.size, v);
              }},
             {"--ace", false,
              [](CommandLine& c, const std::string&) {
                  c.volumes.ace = true;
                  return std::string();
              }},
         },
         nullptr,
         [](const CommandLine& c) {
             return needs({{"--input", !c.volumes.input.empty()},
                           {"--output", !c.volumes.output.empty()},
                           {"--name", !c.volumes.name.empty()}});
         }},
        {"zips",
         CommandAction::Zips,
         "--output DIR --name FIRST --count N [--spread FILE]... [--each FILE]... [--recovery K]",
         "Makes the series of N zips FIRST ... as the \"Zip files\" dialog names it, puts the\n"
         "--spread files one per zip in the list's order and every --each file into every zip,\n"
         "then runs zip for each into DIR as the Zip page's Start does. Each zip is tested, and the\n"
         "series gets its SFV checksum file (disk01 ...: disk.sfv); --recovery K (0 to 9) adds K\n"
         "PAR2 recovery disks (disk.par2 and its volumes), with which any K zips can be rebuilt.\n",
         {
             {"--output", true, [](CommandLine& c, const std::string& v) { return set(c.zips.output, v); }},
             {"--name", true, [](CommandLine& c, const std::string& v) { return set(c.zips.name, v); }},
             {"--count", true,
              [](CommandLine& c, const std::string& v) {
                  const long count = boundedNumber(v, 1, 999);
                  if (count < 0)
                      return "--count takes a number from 1 to 999, not '" + v + "'";
                  c.zips.count = static_cast<int>(count);
                  return std::string();
              }},
             {"--recovery", true,
              [](CommandLine& c, const std::string& v) {
                  const long count = boundedNumber(v, 0, 9);
                  if (count < 0)
                      return "--recovery takes a number from 0 to 9, not '" + v + "'";
                  c.zips.recovery = static_cast<int>(count);
                  return std::string();
              }},
             {"--spread", true,
              [](CommandLine& c, const std::string& v) {
                  c.zips.spread.push_back(v);
                  return std::string();
              }},
             {"--each", true,
              [](CommandLine& c, const std::string& v) {
                  c.zips.each.push_back(v);
                  return std::string();
              }},
         },
         nullptr,
         [](const CommandLine& c) {
             return needs({{"--output", !c.zips.output.empty()},
                           {"--name", !c.zips.name.empty()},
                           {"--count", c.zips.count > 0}});
         }},
        {"render",
         CommandAction::Render,
         "FILE [--output PNG] [--columns N] [--scale K]",
         "Draws the code page 437 text FILE as a PNG picture, one 8 x 16 cell per character in the\n"
         "text window's font, light grey on black, into FILE.png unless --output names another path.\n"
         "A SAUCE record at the end of FILE is not drawn. --columns draws at least N columns (80 as\n"
         "a PC screen shows them), --scale K (1 to 4) draws each pixel as K x K pixels.\n",
         {
             {"--output", true, [](CommandLine& c, const std::string& v) { return set(c.render.output, v); }},
             {"--columns", true,
              [](CommandLine& c, const std::string& v) {
                  const long columns = boundedNumber(v, 1, kMostRenderColumns);
                  if (columns < 0)
                      return "--columns takes a number from 1 to " + std::to_string(kMostRenderColumns) + ", not '" + v
                          + "'";
                  c.render.columns = static_cast<int>(columns);
                  return std::string();
              }},
             {"--scale", true,
              [](CommandLine& c, const std::string& v) {
                  const long scale = boundedNumber(v, 1, 4);
                  if (scale < 0)
                      return "--scale takes a number from 1 to 4, not '" + v + "'";
                  c.render.scale = static_cast<int>(scale);
                  return std::string();
              }},
         },
         "FILE",
         [](const CommandLine& c) {
             return needs({{"FILE", !c.render.file.empty()}});
         }},
        {"verify",
         CommandAction::Verify,
         "SFV_FILE [--repair]",
         "Checks a zip series against its SFV checksum file: every file it names (OK, BAD with the\n"
         "CRC found and the one expected, MISSING), each zip tested by zip, and the volumes the zips\n"
         "carry tested as one set. --repair rebuilds missing or damaged zips with the series' PAR2\n"
         "recovery disks beside it, then checks again. Exit status 0 when all is good, 1 otherwise.\n",
         {
             {"--repair", false,
              [](CommandLine& c, const std::string&) {
                  c.verify.repair = true;
                  return std::string();
              }},
         },
         "SFV_FILE",
         [](const CommandLine& c) {
             return needs({{"SFV_FILE", !c.verify.checksumFile.empty()}});
         }},
    };
    return list;
}

std::string parseCommand(const Command& command, const std::vector<std::string>& args, CommandLine& result)
{
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            result.action = CommandAction::Help;
            return {};
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg.empty() || arg.front() != '-' || arg == "-") {
            std::string* operand = command.action == CommandAction::Render ? &result.render.file
                : command.action == CommandAction::Verify                  ? &result.verify.checksumFile
                                                                           : nullptr;
            if (operand == nullptr || !operand->empty())
                return "unexpected argument '" + arg + "'";
            *operand = arg;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const CommandOption* option = nullptr;
        for (const CommandOption& candidate : command.options) {
            if (name == candidate.name)
                option = &candidate;
        }
        if (option == nullptr)
            return std::string("unknown option '") + name + "' for " + command.name;
        std::string value;
        if (!option->takesValue) {
            if (equals != std::string::npos)
                return std::string(option->name) + " takes no value";
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return std::string(option->name) + " needs a value";
        }
        const std::string problem = option->apply(result, value);
        if (!problem.empty())
            return problem;
    }
    return command.missing(result);
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    if (args.empty())
        return result;
    const std::string& first = args.front();
    // A path alone opens that file; after "--" it may look like an option or a command.
    if (args.size() == 2 && first == "--") {
        result.action = CommandAction::View;
        result.viewFile = args[1];
        return result;
    }
    const auto isCommand = [&first](const Command& command) { return first == command.name; };
    if (args.size() == 1 && (first.empty() || first.front() != '-')
        && std::none_of(commands().begin(), commands().end(), isCommand)) {
        result.action = CommandAction::View;
        result.viewFile = first;
        return result;
    }
    for (const Command& command : commands()) {
        if (first != command.name)
            continue;
        result.action = command.action;
        result.command = command.name;
        result.problem = parseCommand(command, args, result);
        if (!result.problem.empty())
            result.action = CommandAction::Usage;
        return result;
    }
    for (const Option& option : kOptions) {
        if (first == option.shortName || first == option.longName) {
            result.action = option.action;
            break;
        }
    }
    if (result.action == CommandAction::Window) {
        result.action = CommandAction::Usage;
        result.problem = !first.empty() && first.front() == '-' ? "unknown option '" + first + "'"
                                                                : "unknown command '" + first + "'";
    } else if (args.size() > 1) {
        result.action = CommandAction::Usage;
        result.problem = "unexpected argument '" + args[1] + "' after " + first;
    }
    return result;
}

std::string helpText(std::string_view name)
{
    const auto usage = [](const Command& command) {
        return std::string("pakmaster ") + command.name + " " + command.synopsis + "\n";
    };
    for (const Command& command : commands()) {
        if (name == command.name)
            return "Usage: " + usage(command) + command.description + "\n" + kExitStatusText;
    }
    std::string text = "Usage: pakmaster [OPTION]\n"
                       "       pakmaster [--] FILE\n"
                       "       pakmaster COMMAND [ARGUMENT]...\n"
                       "       pakmaster COMMAND --help\n"
                       "Pakmaster fills a release's details into NFO and DIZ templates, compresses a directory\n"
                       "into disk-sized volumes and packs them into a numbered series of zip files.\n"
                       "Without arguments it opens the wizard; the commands do the same jobs without a window.\n"
                       "With a FILE alone it shows that NFO or DIZ file as a PC screen shows it, read-only.\n"
                       "\n"
                       "Options:\n";
    for (const Option& option : kOptions) {
        std::string names = std::string("  ") + option.shortName + ", " + option.longName;
        names.resize(18, ' ');
        text += names + option.description + "\n";
    }
    text += "\nCommands:\n";
    for (const Command& command : commands()) {
        text += "  " + usage(command);
        std::string_view description = command.description;
        while (!description.empty()) {
            const std::size_t end = description.find('\n');
            text += "      ";
            text += description.substr(0, end);
            text += '\n';
            description.remove_prefix(end == std::string_view::npos ? description.size() : end + 1);
        }
    }
    text += "\n";
    text += kExitStatusText;
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
        out << helpText(commandLine.command);
        return 0;
    case CommandAction::Version:
        out << versionText();
        return 0;
    case CommandAction::Usage:
        err << "pakmaster: " << commandLine.problem << "\nTry 'pakmaster "
            << (commandLine.command.empty() ? "" : commandLine.command + " ") << "--help'.\n";
        return 2;
    default:
        break;
    }
    return 0;
}

void printFailure(std::ostream& err, std::string_view caption, std::string_view text)
{
    err << "pakmaster: ";
    if (!caption.empty())
        err << caption << ": ";
    for (char c : text)
        err << (c == '\r' ? '\n' : c);
    err << '\n';
}

} // namespace pkm
