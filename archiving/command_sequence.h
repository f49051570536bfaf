#pragma once
// runSteps: command lines run one after the other through a runner (the stub behind a pipe), the
// files they make afresh replacing the earlier ones together once every step succeeded. Shared by
// the pages' Start buttons and by the command line.
#include "archiving/command_lines.h"
#include "archiving/run_plan.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pkm {

struct CommandStep {
    std::string commandLine;
    // The file the command makes afresh, or empty. The earlier file there is taken out of the
    // way while the command runs; the files the steps made replace the earlier ones together,
    // once every step succeeded, and after any failure the earlier ones are all as they were.
    std::string replaces;
    // What the archiver's exit status means.
    ArchiverKind archiver = ArchiverKind::Volumes;
    // Tests what the command made, before anything is replaced; empty for no test.
    std::string testCommandLine;
};

// Files that go with the files the steps make, made once every step succeeded and put in place
// with them.
struct SeriesFiles {
    // The checksum file, which lists every file the steps make; empty for none.
    std::string checksumFile;
    // Recovery files beside it, made by par2 from the files of its directory: any this many of
    // them can be rebuilt. 0 for none.
    int recoveryFiles = 0;
};

using EnvironmentAdditions = std::vector<std::pair<std::string, std::string>>;

// How one command line ran.
struct RunOutcome {
    // 0: the stub ran and its output was read to the end; 1: the output channel could not be
    // set up; 2: the stub could not be started.
    int result = 0;
    // The stub's exit status (128 + signal when it was killed); 0 when it could not be started.
    std::int32_t exitCode = 0;
    // The errno value of a command the stub could not start, 0 when it ran.
    int startError = 0;
};

// Runs one command line through the stub, handing its output on line by line, and returns once
// the stub has ended. A stop signal ends the stub (and its command) early.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    virtual RunOutcome run(const std::string& commandLine, const EnvironmentAdditions& environment) = 0;
};

struct SequenceHooks {
    // The program's directory (with the archivers), ending in a separator.
    std::string programDir;
    // Called before each command line runs: its step (0 based; the recovery data is the step
    // after the last) and the number of steps, counting the recovery data as one.
    std::function<void(std::size_t step, std::size_t steps)> onStep {};
    // Asked wherever a stop signal is looked for: true ends the run there, undone, as a stop
    // signal does (the runner ends the command itself when the stop comes during one).
    std::function<bool()> stopRequested {};
};

// Runs the steps in order and stops at the first that fails to start or exits with an error,
// or when a stop signal or a stop request comes. Returns the text of the "Compression error"
// message then (stoppedText, kRunStoppedText for a request), nothing when every step ran and
// its files are in place.
std::optional<std::string> runSteps(CommandRunner& runner, const std::vector<CommandStep>& steps,
                                    const SeriesFiles& files = {}, const SequenceHooks& hooks = {});

// The volume run of a plan: one line; the volume archiver keeps its volumes whole itself, so the
// step replaces no single file.
std::vector<CommandStep> volumeSteps(const VolumePlan& plan);
// The zip runs of a plan: each line makes its zip afresh, and zip tests it.
std::vector<CommandStep> zipSteps(const ZipPlan& plan);
// What goes with the zips of a plan: their checksum file and recovery disks.
SeriesFiles zipSeriesFiles(const ZipPlan& plan);

} // namespace pkm
