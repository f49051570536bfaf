// runCommandSequence: one pipe to the stub, the lines run in order, the files they make afresh
// replacing the earlier ones together, the first failure named.
#include "archiving/CommandSequence.h"

#include "archiving/Piper.h"
#include "archiving/series_checks.h"
#include "archiving/set_replacement.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace pkm {

namespace {

// The checksum file of what the steps made, from their staged copies.
pkm::ReplaceError writeChecksums(pkm::SeriesReplacement& series, const std::vector<CommandStep>& steps,
                                 const std::string& checksumFile)
{
    const std::string directory = checksumFile.substr(0, checksumFile.find_last_of('/') + 1);
    std::vector<pkm::ChecksumLine> lines;
    for (const CommandStep& step : steps) {
        if (step.replaces.empty())
            continue;
        const std::string staged = series.stagedPath(step.replaces);
        // A command that succeeded without making its file has nothing to check.
        if (!std::filesystem::exists(staged))
            continue;
        int error = 0;
        const std::optional<std::uint32_t> crc = pkm::fileCrc32(staged, error);
        if (!crc)
            return {error, "Cannot read " + staged + ": " + std::strerror(error) + "."};
        const bool beside = step.replaces.compare(0, directory.size(), directory) == 0;
        lines.push_back({beside ? step.replaces.substr(directory.size()) : step.replaces, *crc});
    }
    if (lines.empty())
        return {};
    return series.addNewFile(checksumFile, pkm::checksumFileText(pkm::seriesOfChecksumFile(checksumFile), lines));
}

// The staged files of the steps in the checksum file's directory, and the largest one's size.
std::vector<std::string> stagedBeside(pkm::SeriesReplacement& series, const std::vector<CommandStep>& steps,
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
    for (const std::string& name : pkm::directoryNames(newDir, error)) {
        if (name == series + ".par2" || (name.rfind(series + ".vol", 0) == 0 && name.ends_with(".par2")))
            names.push_back(name);
    }
    return names;
}

} // namespace

std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps,
                                              const SeriesFiles& files)
{
    TPiper piper(sequence.programDir, sequence.owner);
    piper.OnNewLine = sequence.onLine;
    pkm::SeriesReplacement series;
    // Every failure puts the earlier files back first; a failure to do so is said too.
    const auto undone = [&series](std::string why) {
        if (const pkm::ReplaceError back = series.rollback())
            why += "\r" + back.reason;
        return why;
    };
    for (const CommandStep& step : steps) {
        if (const int signal = pkm::stopSignal())
            return undone(pkm::stoppedText(signal));
        if (!step.replaces.empty()) {
            if (const pkm::ReplaceError error = series.beforeStep(step.replaces))
                return undone(error.reason);
        }
        piper.ImageName = step.commandLine;
        // Should the program end while the command runs, the stub puts the earlier files back.
        piper.Environment.clear();
        if (!step.replaces.empty())
            piper.Environment.emplace_back("PKM_STUB_UNDO", series.stagingFor(step.replaces));
        const int result = piper.RunCommand();
        if (const int signal = pkm::stopSignal())
            return undone(pkm::stoppedText(signal));
        if (result != 0 || piper.ExitCode != 0)
            return undone(piper.ExitCode == 0 ? std::string(pkm::kStartFailureText)
                                              : pkm::failedRunText(step.archiver, piper.ExitCode, piper.StartError));
        if (!step.testCommandLine.empty()) {
            piper.ImageName = step.testCommandLine;
            const int tested = piper.RunCommand();
            if (const int signal = pkm::stopSignal())
                return undone(pkm::stoppedText(signal));
            if (tested != 0 || piper.ExitCode != 0)
                return undone(piper.ExitCode == 0
                                  ? std::string(pkm::kStartFailureText)
                                  : pkm::failedRunText(step.archiver, piper.ExitCode, piper.StartError));
        }
        if (!step.replaces.empty()) {
            if (const pkm::ReplaceError error = series.afterStep(step.replaces))
                return undone(error.reason);
        }
    }
    if (!files.checksumFile.empty()) {
        if (const pkm::ReplaceError error = writeChecksums(series, steps, files.checksumFile))
            return undone(error.reason);
    }
    if (!files.checksumFile.empty() && files.recoveryFiles > 0) {
        const std::string directory = files.checksumFile.substr(0, files.checksumFile.find_last_of('/') + 1);
        const std::string name = pkm::seriesOfChecksumFile(files.checksumFile);
        std::uint64_t largest = 0;
        const std::vector<std::string> staged = stagedBeside(series, steps, directory, largest);
        pkm::ReplaceError error;
        const std::string newDir = series.newFilesDirFor(withoutTrailingSeparator(directory), error);
        if (error)
            return undone(error.reason);
        if (!staged.empty()) {
            piper.ImageName = pkm::recoveryCommandLine(sequence.programDir, newDir + "/", name, largest,
                                                       files.recoveryFiles, staged);
            piper.Environment.clear();
            const int result = piper.RunCommand();
            if (const int signal = pkm::stopSignal())
                return undone(pkm::stoppedText(signal));
            if (result != 0 || piper.ExitCode != 0)
                return undone(piper.ExitCode == 0
                                  ? std::string(pkm::kStartFailureText)
                                  : pkm::failedRunText(pkm::ArchiverKind::Recovery, piper.ExitCode, piper.StartError));
            if ((error = series.adoptNewFiles(withoutTrailingSeparator(directory), recoveryFilesMade(newDir, name))))
                return undone(error.reason);
        }
    }
    if (const int signal = pkm::stopSignal())
        return undone(pkm::stoppedText(signal));
    if (const pkm::ReplaceError error = series.commit())
        return error.reason;
    return std::nullopt;
}

std::vector<CommandStep> zipSteps(const pkm::ZipPlan& plan)
{
    std::vector<CommandStep> steps;
    for (std::size_t i = 0; i < plan.commandLines.size(); ++i)
        steps.push_back({plan.commandLines[i], plan.zipFiles[i], pkm::ArchiverKind::Zip, plan.testCommandLines[i]});
    return steps;
}

std::vector<CommandStep> volumeSteps(const pkm::VolumePlan& plan)
{
    return {CommandStep {plan.commandLine, {}, pkm::ArchiverKind::Volumes, {}}};
}

SeriesFiles zipSeriesFiles(const pkm::ZipPlan& plan)
{
    return {plan.checksumFile, plan.recoveryDisks};
}

} // namespace pkm
