// runSteps asked to stop: the run ends where the request is seen, undone, and no later command
// runs; a request that comes after the volume archiver replaced its set does not claim otherwise.
#include "archiving/command_sequence.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace pkm;

namespace {

// "Runs" a command line by writing new bytes to the file it names, as zip makes its zip.
class WritingRunner final : public CommandRunner {
public:
    RunOutcome run(const std::string& commandLine, const EnvironmentAdditions&) override
    {
        ran.push_back(commandLine);
        std::ofstream(commandLine, std::ios::binary) << "new";
        return {};
    }
    std::vector<std::string> ran;
};

std::map<std::string, std::string> held(const TempDir& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files[entry.path().filename().string()] = entry.is_directory() ? "<dir>" : dir.read(entry.path().filename());
    return files;
}

} // namespace

TEST(RunSteps, AStopRequestEndsTheRunUndoneWhereItIsSeen)
{
    for (std::size_t stopAfter : {0u, 1u, 2u}) {
        SCOPED_TRACE(stopAfter);
        TempDir dir;
        dir.write("disk01.zip", "earlier 1");
        dir.write("disk02.zip", "earlier 2");
        const std::vector<CommandStep> steps {{dir.file("disk01.zip"), dir.file("disk01.zip"), ArchiverKind::Zip, {}},
                                              {dir.file("disk02.zip"), dir.file("disk02.zip"), ArchiverKind::Zip, {}}};
        WritingRunner runner;
        SequenceHooks hooks;
        // Asked once `stopAfter` commands have run: before the first, between them, after the last.
        hooks.stopRequested = [&runner, stopAfter] { return runner.ran.size() >= stopAfter; };
        const std::optional<std::string> failure = runSteps(runner, steps, {}, hooks);
        EXPECT_EQ(failure, std::string(kRunStoppedText));
        EXPECT_EQ(runner.ran.size(), stopAfter);
        EXPECT_EQ(held(dir),
                  (std::map<std::string, std::string> {{"disk01.zip", "earlier 1"}, {"disk02.zip", "earlier 2"}}));
    }

    // Too late: the volume archiver, which replaces its set itself, had already succeeded.
    {
        WritingRunner runner;
        SequenceHooks hooks;
        hooks.stopRequested = [&runner] { return !runner.ran.empty(); };
        TempDir dir;
        EXPECT_EQ(runSteps(runner, {{dir.file("rel.7z.001"), {}, ArchiverKind::Volumes, {}}}, {}, hooks), std::nullopt);
    }

    // Never asked to stop: the zip replaced.
    TempDir dir;
    dir.write("disk01.zip", "earlier 1");
    WritingRunner runner;
    SequenceHooks hooks;
    hooks.stopRequested = [] { return false; };
    EXPECT_EQ(runSteps(runner, {{dir.file("disk01.zip"), dir.file("disk01.zip"), ArchiverKind::Zip, {}}}, {}, hooks),
              std::nullopt);
    EXPECT_EQ(held(dir), (std::map<std::string, std::string> {{"disk01.zip", "new"}}));
}
