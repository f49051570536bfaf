// runSteps: the lines run in order, the files they make afresh replacing the earlier ones
// together, the first failure named.
#include "archiving/command_sequence.h"

#include "archiving/series_checks.h"
#include "archiving/set_replacement.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <utility>

namespace pkm {

namespace {

// The checksum file of what the steps made, from their staged copies.
ReplaceError writeChecksums(SeriesReplacement& series, const std::vector<CommandStep>& steps,
                            const std::string& checksumFile)
{
    const std::string directory = checksumFile.substr(0, checksumFile.find_last_of('/') + 1);
    std::vector<ChecksumLine> lines;
    for (const CommandStep& step : steps) {
        if (step.replaces.empty())
            continue;
        const std::string staged = series.stagedPath(step.replaces);
        // A command that succeeded without making its file has nothing to check.
        if (!std::filesystem::exists(staged))
            continue;
        int error = 0;
        const std::optional<std::uint32_t> crc = fileCrc32(staged, error);
        if (!crc)
            return {error, "Cannot read " + staged + ": " + std::strerror(error) + "."};
        const bool beside = step.replaces.compare(0, directory.size(), directory) == 0;
        lines.push_back({beside ? step.replaces.substr(directory.size()) : step.replaces, *crc});
    }
    if (lines.empty())
        return {};
    return series.addNewFile(checksumFile, checksumFileText(seriesOfChecksumFile(checksumFile), lines));
}

// The staged files of the steps in the checksum file's directory, and the largest one's size.
std::vector<std::string> stagedBeside(SeriesReplacement& series, const std::vector<CommandStep>& steps,
                                      const std::string& directory, std::uint64_t& largest)
{
    std::vector<std::string> files;
    largest = 0;
    for (const CommandStep& step : steps) {
        if (step.replaces.empty() || step.replaces.compare(0, directory.size(), directory) != 0
            || step.replaces.find('/', directory.size()) != std::string::npos)
            continue;
        const std::string staged = series.stagedPath(step.replaces);
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(staged, error);
        if (error)
            continue;
        largest = std::max<std::uint64_t>(largest, size);
        files.push_back(staged);
    }
    return files;
}

// The recovery files par2 made in the staging folder: "<series>.par2" and "<series>.vol...par2".
std::vector<std::string> recoveryFilesMade(const std::string& newDir, const std::string& series)
{
    std::vector<std::string> names;
    int error = 0;
    for (const std::string& name : directoryNames(newDir, error)) {
        if (name == series + ".par2" || (name.rfind(series + ".vol", 0) == 0 && name.ends_with(".par2")))
            names.push_back(name);
    }
    return names;
}

} // namespace

std::optional<std::string> runSteps(CommandRunner& runner, const std::vector<CommandStep>& steps,
                                    const SeriesFiles& files, const SequenceHooks& hooks)
{
    SeriesReplacement series;
    const bool recovery = !files.checksumFile.empty() && files.recoveryFiles > 0;
    const std::size_t stepCount = steps.size() + (recovery ? 1 : 0);
    const auto starting = [&hooks, stepCount](std::size_t step) {
        if (hooks.onStep)
            hooks.onStep(step, stepCount);
    };
    // A command that could not start, or exited with an error.
    const auto failed = [](const RunOutcome& outcome, ArchiverKind archiver) -> std::optional<std::string> {
        if (outcome.result == 0 && outcome.exitCode == 0)
            return std::nullopt;
        return outcome.exitCode == 0 ? std::string(kStartFailureText)
                                     : failedRunText(archiver, outcome.exitCode, outcome.startError);
    };
    // Set once a command that keeps its own set whole (the volume archiver) has replaced it:
    // a stop request that came too late to end that command has nothing left to undo.
    bool replacedByArchiver = false;
    // A stop signal, then the caller's own stop request: why the run ends here, if it does.
    const auto stopped = [&hooks, &replacedByArchiver]() -> std::optional<std::string> {
        if (const int signal = stopSignal())
            return stoppedText(signal);
        if (!replacedByArchiver && hooks.stopRequested && hooks.stopRequested())
            return std::string(kRunStoppedText);
        return std::nullopt;
    };
    // Every failure puts the earlier files back first; a failure to do so is said too.
    const auto undone = [&series](std::string why) {
        if (const ReplaceError back = series.rollback())
            why += "\r" + back.reason;
        return why;
    };
    for (std::size_t index = 0; index < steps.size(); ++index) {
        const CommandStep& step = steps[index];
        if (std::optional<std::string> why = stopped())
            return undone(std::move(*why));
        if (!step.replaces.empty()) {
            if (const ReplaceError error = series.beforeStep(step.replaces))
                return undone(error.reason);
        }
        starting(index);
        // Should the program end while the command runs, the stub puts the earlier files back.
        EnvironmentAdditions environment;
        if (!step.replaces.empty())
            environment.emplace_back("PKM_STUB_UNDO", series.stagingFor(step.replaces));
        const RunOutcome outcome = runner.run(step.commandLine, environment);
        if (step.replaces.empty() && outcome.result == 0 && outcome.exitCode == 0)
            replacedByArchiver = true;
        if (std::optional<std::string> why = stopped())
            return undone(std::move(*why));
        if (const std::optional<std::string> failure = failed(outcome, step.archiver))
            return undone(*failure);
        if (!step.testCommandLine.empty()) {
            const RunOutcome tested = runner.run(step.testCommandLine, {});
            if (std::optional<std::string> why = stopped())
                return undone(std::move(*why));
            if (const std::optional<std::string> failure = failed(tested, step.archiver))
                return undone(*failure);
        }
        if (!step.replaces.empty()) {
            if (const ReplaceError error = series.afterStep(step.replaces))
                return undone(error.reason);
        }
    }
    if (!files.checksumFile.empty()) {
        if (const ReplaceError error = writeChecksums(series, steps, files.checksumFile))
            return undone(error.reason);
    }
    if (recovery) {
        const std::string directory = files.checksumFile.substr(0, files.checksumFile.find_last_of('/') + 1);
        const std::string name = seriesOfChecksumFile(files.checksumFile);
        std::uint64_t largest = 0;
        const std::vector<std::string> staged = stagedBeside(series, steps, directory, largest);
        ReplaceError error;
        const std::string newDir = series.newFilesDirFor(withoutTrailingSeparator(directory), error);
        if (error)
            return undone(error.reason);
        if (!staged.empty()) {
            starting(steps.size());
            const RunOutcome outcome = runner.run(
                recoveryCommandLine(hooks.programDir, newDir + "/", name, largest, files.recoveryFiles, staged), {});
            if (std::optional<std::string> why = stopped())
                return undone(std::move(*why));
            if (const std::optional<std::string> failure = failed(outcome, ArchiverKind::Recovery))
                return undone(*failure);
            if ((error = series.adoptNewFiles(withoutTrailingSeparator(directory), recoveryFilesMade(newDir, name))))
                return undone(error.reason);
        }
    }
    if (std::optional<std::string> why = stopped())
        return undone(std::move(*why));
    if (const ReplaceError error = series.commit())
        return error.reason;
    return std::nullopt;
}

std::vector<CommandStep> zipSteps(const ZipPlan& plan)
{
    std::vector<CommandStep> steps;
    for (std::size_t i = 0; i < plan.commandLines.size(); ++i)
        steps.push_back({plan.commandLines[i], plan.zipFiles[i], ArchiverKind::Zip, plan.testCommandLines[i]});
    return steps;
}

std::vector<CommandStep> volumeSteps(const VolumePlan& plan)
{
    return {CommandStep {plan.commandLine, {}, ArchiverKind::Volumes, {}}};
}

SeriesFiles zipSeriesFiles(const ZipPlan& plan)
{
    return {plan.checksumFile, plan.recoveryDisks};
}

} // namespace pkm
