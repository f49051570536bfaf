// The program's command line: the options and commands it answers and what it refuses.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace pkm;

TEST(CommandLine, OptionsCommandsAndRefusals)
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
        {{"release.nfo"}, CommandAction::View, ""},
        {{"--", "-odd.nfo"}, CommandAction::View, ""},
        {{"--", "render"}, CommandAction::View, ""},
        {{"release.nfo", "file_id.diz"}, CommandAction::Usage, "unknown command 'release.nfo'"},
        {{"-odd.nfo"}, CommandAction::Usage, "unknown option '-odd.nfo'"},
        {{"render", "a.nfo", "--scale", "5"}, CommandAction::Usage, "--scale takes a number from 1 to 4, not '5'"},
        {{"render", "a.nfo", "--columns", "0"},
         CommandAction::Usage,
         "--columns takes a number from 1 to 125000, not '0'"},
        {{"--help", "extra"}, CommandAction::Usage, "unexpected argument 'extra' after --help"},
        {{"generate"}, CommandAction::Generate, ""},
        {{"zips", "--help"}, CommandAction::Help, ""},
        {{"generate", "--set", "Title"}, CommandAction::Usage, "--set needs NAME=VALUE, not 'Title'"},
        {{"generate", "--set"}, CommandAction::Usage, "--set needs a value"},
        {{"generate", "--nfo=yes"}, CommandAction::Usage, "--nfo takes no value"},
        {{"generate", "--size", "1"}, CommandAction::Usage, "unknown option '--size' for generate"},
        {{"generate", "extra"}, CommandAction::Usage, "unexpected argument 'extra'"},
        {{"volumes", "--input", "i", "--output", "o"}, CommandAction::Usage, "--name is required"},
        {{"volumes", "--input=i", "--output=o", "--name=v", "--size", "0"},
         CommandAction::Usage,
         "--size takes a number of thousands of bytes from 1 to 99999, not '0'"},
        {{"volumes", "--input=i", "--output=o", "--name=v", "--size", "100000"},
         CommandAction::Usage,
         "--size takes a number of thousands of bytes from 1 to 99999, not '100000'"},
        {{"zips", "--output", "o", "--name", "disk01"}, CommandAction::Usage, "--count is required"},
        {{"zips", "--output", "o", "--name", "disk01", "--count", "1000"},
         CommandAction::Usage,
         "--count takes a number from 1 to 999, not '1000'"},
        {{"zips", "--output", "o", "--name", "disk01", "--count", "-3"},
         CommandAction::Usage,
         "--count takes a number from 1 to 999, not '-3'"},
        {{"render"}, CommandAction::Usage, "FILE is required"},
        {{"render", "a.nfo", "b.nfo"}, CommandAction::Usage, "unexpected argument 'b.nfo'"},
        {{"render", "--", "-odd.nfo"}, CommandAction::Render, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const CommandLine parsed = parseCommandLine(row.args);
        EXPECT_EQ(parsed.action, row.action);
        EXPECT_EQ(parsed.problem, row.problem);
    }
}

TEST(CommandLine, EachCommandTakesItsArgumentsInOrder)
{
    const CommandLine generate = parseCommandLine(
        {"generate", "--diz", "--set", "Title=A=B", "--values", "v.txt", "--set=Size="});
    EXPECT_FALSE(generate.generate.nfo);
    EXPECT_TRUE(generate.generate.diz);
    EXPECT_EQ(generate.generate.values,
              (std::vector<ValueSource> {{false, "Title=A=B"}, {true, "v.txt"}, {false, "Size="}}));
    EXPECT_EQ(generate.generate.output, std::nullopt);
    EXPECT_EQ(parseCommandLine({"generate", "--output", "-out"}).generate.output, "-out");

    const CommandLine volumes = parseCommandLine(
        {"volumes", "--ace", "--name", "rel", "--input", "/in", "--output=/out"});
    EXPECT_EQ(volumes.action, CommandAction::Volumes);
    EXPECT_EQ(volumes.volumes.input, "/in");
    EXPECT_EQ(volumes.volumes.output, "/out");
    EXPECT_EQ(volumes.volumes.name, "rel");
    EXPECT_EQ(volumes.volumes.size, "1440");
    EXPECT_TRUE(volumes.volumes.ace);

    const CommandLine zips = parseCommandLine({"zips", "--output", "/out", "--name", "disk01", "--count", "3",
                                               "--spread", "a", "--each", "n", "--spread", "b"});
    EXPECT_EQ(zips.action, CommandAction::Zips);
    EXPECT_EQ(zips.zips.count, 3);
    EXPECT_EQ(zips.zips.spread, (std::vector<std::string> {"a", "b"}));
    EXPECT_EQ(zips.zips.each, (std::vector<std::string> {"n"}));

    const CommandLine render = parseCommandLine({"render", "--output", "p.png", "a.nfo"});
    EXPECT_EQ(render.render.file, "a.nfo");
    EXPECT_EQ(render.render.output, "p.png");
    EXPECT_EQ(render.render.columns, 0);
    EXPECT_EQ(render.render.scale, 1);
    const CommandLine sized = parseCommandLine({"render", "a.nfo", "--columns=80", "--scale", "4"});
    EXPECT_EQ(sized.render.columns, 80);
    EXPECT_EQ(sized.render.scale, 4);
    EXPECT_EQ(parseCommandLine({"--", "-odd.nfo"}).viewFile, "-odd.nfo");
}

TEST(CommandLine, TheHelpNamesEveryOptionAndCommandAndEachCommandHasItsOwn)
{
    const std::string help = helpText();
    for (const char* text : {"-h, --help", "-V, --version", "$XDG_CONFIG_HOME/pakmaster/",
                             "pakmaster generate [--nfo] [--diz] [--output DIR]", "pakmaster volumes --input DIR",
                             "pakmaster zips --output DIR", "pakmaster render FILE"})
        EXPECT_NE(help.find(text), std::string::npos) << text;
    // A command's help: its usage line and description as the whole help lists them, alone.
    for (const std::string command : {"generate", "volumes", "zips", "render"}) {
        SCOPED_TRACE(command);
        const std::string own = helpText(command);
        const std::string usage = own.substr(0, own.find('\n') + 1);
        const std::string described = own.substr(usage.size(), own.find('\n', usage.size()) + 1 - usage.size());
        EXPECT_TRUE(usage.starts_with("Usage: pakmaster " + command + " ")) << usage;
        EXPECT_NE(help.find("  " + usage.substr(7) + "      " + described), std::string::npos) << own;
        EXPECT_EQ(own.find("Commands:"), std::string::npos) << own;
        EXPECT_NE(own.find("\n\nExit status: "), std::string::npos) << own;
    }
}

TEST(CommandLine, AUsageErrorIsOneLineAndTheHelpToRead)
{
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    };
    const Row rows[] = {
        {{"--help"}, 0, helpText(), ""},
        {{"volumes", "--help"}, 0, helpText("volumes"), ""},
        {{"render", "a.nfo", "-h"}, 0, helpText("render"), ""},
        {{"generate", "--help", "--frobnicate"}, 0, helpText("generate"), ""},
        {{"--frobnicate"}, 2, "", "pakmaster: unknown option '--frobnicate'\nTry 'pakmaster --help'.\n"},
        {{"vol", "--input"}, 2, "", "pakmaster: unknown command 'vol'\nTry 'pakmaster --help'.\n"},
        {{"--help", "zips"}, 2, "", "pakmaster: unexpected argument 'zips' after --help\nTry 'pakmaster --help'.\n"},
        {{"zips", "--output", "o", "--name", "disk01"},
         2,
         "",
         "pakmaster: --count is required\nTry 'pakmaster zips --help'.\n"},
        {{"generate", "--output"}, 2, "", "pakmaster: --output needs a value\nTry 'pakmaster generate --help'.\n"},
        {{"render", "--size=3", "a.nfo"},
         2,
         "",
         "pakmaster: unknown option '--size' for render\nTry 'pakmaster render --help'.\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runCommandLine(parseCommandLine(row.args), out, err), row.status);
        EXPECT_EQ(out.str(), row.out);
        EXPECT_EQ(err.str(), row.err);
    }
}
