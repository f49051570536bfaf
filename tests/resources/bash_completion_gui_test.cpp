// The bash completion, sourced by a real bash and asked as the shell asks it: the commands and
// options are those the help lists, and an option's directory or file is completed from disk.
#include "app/command_line.h"
#include "support/temp_dir.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace pkm;

namespace {

const QString kCompletion = QStringLiteral(PAKMASTER_SOURCE_DIR "/resources/pakmaster.bash-completion");

// Runs bash in `workDir` with the completion sourced, then `script`; its standard output.
std::string bash(const std::string& script, const QStringList& words = {}, const std::string& workDir = ".")
{
    QProcess shell;
    shell.setWorkingDirectory(QString::fromStdString(workDir));
    shell.start(QStringLiteral("bash"),
                QStringList {"--norc", "-c", "source \"$0\" && " + QString::fromStdString(script), kCompletion}
                    + words);
    if (!shell.waitForFinished(-1) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0)
        return "bash failed: " + shell.readAllStandardError().toStdString();
    return shell.readAllStandardOutput().toStdString();
}

// The words the completion offers for the command line `words`, the last being the one typed.
std::vector<std::string> completions(const QStringList& words, const std::string& workDir = ".")
{
    std::istringstream lines(bash(R"(COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _pakmaster;)"
                                  R"( printf '%s\n' "${COMPREPLY[@]}")",
                                  words, workDir));
    std::vector<std::string> offered;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty())
            offered.push_back(line);
    }
    std::sort(offered.begin(), offered.end());
    return offered;
}

// Every match of the regular expression's first group, sorted.
std::vector<std::string> matches(const std::string& text, const char* pattern)
{
    std::vector<std::string> found;
    const QRegularExpression re(QString::fromLatin1(pattern));
    for (const QRegularExpressionMatch& match : re.globalMatch(QString::fromStdString(text)))
        found.push_back(match.captured(1).toStdString());
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

TEST(BashCompletion, OffersTheCommandsAndOptionsTheHelpListsAndTheFilesAnOptionTakes)
{
    EXPECT_EQ(bash("complete -p pakmaster"), "complete -F _pakmaster pakmaster\n");

    const std::vector<std::string> commands = matches(helpText(), "\n  pakmaster ([a-z]+) ");
    ASSERT_EQ(commands.size(), 5u);
    // The first word is a command or a file to show: here none.
    const TempDir empty;
    EXPECT_EQ(completions({"pakmaster", ""}, empty.path()), commands);
    EXPECT_EQ(completions({"pakmaster", "vol"}, empty.path()), (std::vector<std::string> {"volumes"}));
    EXPECT_EQ(completions({"pakmaster", "--v"}, empty.path()), (std::vector<std::string> {"--version"}));
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const std::string usage = helpText(command).substr(0, helpText(command).find('\n'));
        std::vector<std::string> options = matches(usage, "(--[a-z]+)");
        options.erase(std::unique(options.begin(), options.end()), options.end());
        options.push_back("--help");
        std::sort(options.begin(), options.end());
        EXPECT_EQ(completions({"pakmaster", QString::fromStdString(command), "--"}), options);
    }

    TempDir dir;
    dir.write("notes.txt", "n");
    dir.write("out/.keep", "");
    const struct {
        QStringList words;
        std::vector<std::string> offered;
    } rows[] = {
        {{"pakmaster", "generate", "--output", ""}, {"out"}},
        {{"pakmaster", "volumes", "--name", "x", "--output", "=", ""}, {"out"}},
        {{"pakmaster", "generate", "--values", "no"}, {"notes.txt"}},
        {{"pakmaster", "zips", "--spread", ""}, {"notes.txt", "out"}},
        {{"pakmaster", "render", ""}, {"notes.txt", "out"}},
        {{"pakmaster", "no"}, {"notes.txt"}},
        {{"pakmaster", "render", "--scale", ""}, {}},
        {{"pakmaster", "verify", "no"}, {"notes.txt"}},
        {{"pakmaster", "zips", "--count", ""}, {}},
        {{"pakmaster", "volumes", "--name", "-"}, {}},
        {{"pakmaster", "frobnicate", "--"}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.words.join(' ').toStdString());
        EXPECT_EQ(completions(row.words, dir.path()), row.offered);
    }
}
