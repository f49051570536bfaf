// The program's command line: the options it answers and what it refuses.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace pkm;

TEST(CommandLine, OptionsAndRefusals)
{
    struct Row {
        std::vector<std::string> args;
        CommandAction action;
        std::string problem;
    };
    const Row rows[] = {
        {{}, CommandAction::Window, ""},
        {{"--help"}, CommandAction::Help, ""},
        {{"-h"}, CommandAction::Help, ""},
        {{"--version"}, CommandAction::Version, ""},
        {{"-V"}, CommandAction::Version, ""},
        {{"--frobnicate"}, CommandAction::Usage, "unknown option '--frobnicate'"},
        {{"-help"}, CommandAction::Usage, "unknown option '-help'"},
        {{"release.nfo"}, CommandAction::Usage, "unexpected argument 'release.nfo'"},
        {{"--help", "extra"}, CommandAction::Usage, "unexpected argument 'extra' after --help"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const CommandLine parsed = parseCommandLine(row.args);
        EXPECT_EQ(parsed.action, row.action);
        EXPECT_EQ(parsed.problem, row.problem);
    }
}

TEST(CommandLine, TheHelpNamesEveryOptionAndARefusalGoesToStandardError)
{
    const std::string help = helpText();
    for (const char* option : {"-h, --help", "-V, --version", "$XDG_CONFIG_HOME/pakmaster/"})
        EXPECT_NE(help.find(option), std::string::npos) << option;

    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCommandLine(parseCommandLine({"--frobnicate"}), out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "pakmaster: unknown option '--frobnicate'\n\n" + help);
}
