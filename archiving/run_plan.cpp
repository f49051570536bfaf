// The checks of the Start buttons and the command lines they lead to.
#include "archiving/run_plan.h"

#include "archiving/command_lines.h"
#include "archiving/series_checks.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"

#include <algorithm>
#include <filesystem>

namespace pkm {

namespace {

RunRefusal quoteRefusal()
{
    return {kInputErrorCaption, kQuoteRefusalText};
}

} // namespace

VolumePlan PlanVolumeRun(const std::string& programDir, const VolumeRequest& request)
{
    VolumePlan plan;
    // Typed text goes into the command line as it stands: a double quote would end its
    // argument early and hand the archiver words of the user's making. The directories go in
    // from the root, so even a relative one named like a switch stays a name.
    const std::string inputDir = absolutePath(request.inputDir);
    const std::string outputDir = absolutePath(request.outputDir);
    if (containsDoubleQuote(
            {request.inputDir, request.outputDir, request.name, request.size, programDir, inputDir, outputDir})) {
        plan.refusal = quoteRefusal();
        return plan;
    }
    // Pasted text gets past the size box's key filter; a blank would start another word.
    if (request.size.find_first_not_of("0123456789") != std::string::npos) {
        plan.refusal = RunRefusal {kInputErrorCaption, "Numeric values only!"};
        return plan;
    }
    if (!DirectoryPresent(request.inputDir)) {
        plan.refusal = RunRefusal {kInputErrorCaption, "Input directory not found."};
        return plan;
    }
    const std::string inDir = inputDirForCommand(request.inputDir);
    // An empty field would name no directory at all.
    plan.inputField = inDir.empty() ? request.inputDir : inDir;
    if (!DirectoryPresent(request.outputDir)) {
        plan.refusal = RunRefusal {kOutputErrorCaption, "Output directory not found."};
        return plan;
    }
    plan.outputField = outputDirForCommand(request.outputDir);
    plan.commandLine = volumeCommandLine(programDir, request.size, outputDirForCommand(outputDir), request.name,
                                         inputDirForCommand(inputDir), request.useAce);
    return plan;
}

std::optional<RunRefusal> CheckZipInput(const std::string& path)
{
    if (!FilePresent(path) && !std::filesystem::is_symlink(path))
        return RunRefusal {kInputErrorCaption, path + ": file not found."};
    const std::string problem = inputFileProblem(path);
    if (!problem.empty())
        return RunRefusal {kInputErrorCaption, path + ": cannot be packed.\r" + problem};
    return std::nullopt;
}

ZipSeriesPlan PlanZipSeries(const std::string& firstName, int count, const std::vector<std::string>& spread,
                            const std::vector<std::string>& each)
{
    ZipSeriesPlan plan;
    // The open-file dialog only offers files that exist; zip would skip a missing one (or a
    // folder, a FIFO, a device) with a warning and leave it out of the release.
    for (const auto* files : {&spread, &each}) {
        for (const std::string& file : *files) {
            if ((plan.refusal = CheckZipInput(file)))
                return plan;
        }
    }
    plan.zips.AddSeries(firstName, count);
    const std::size_t zips = plan.zips.size();
    // The dialog makes one zip of a name without a number, whatever the count; a script that
    // asked for more would ship a release short of disks.
    if (zips != static_cast<std::size_t>(count)) {
        plan.refusal = RunRefusal {kZipErrorCaption,
                                   "The series from " + firstName + " has " + std::to_string(zips)
                                       + (zips == 1 ? " zip name" : " zip names") + ", not " + std::to_string(count)
                                       + ": a name needs a number to count from."};
        return plan;
    }
    if (spread.size() > zips) {
        plan.refusal = RunRefusal {kZipErrorCaption,
                                   std::to_string(spread.size()) + " files to spread over " + std::to_string(zips)
                                       + " zips."};
        return plan;
    }
    ZipSelection every(zips);
    for (std::size_t i = 0; i < every.size(); ++i)
        every[i] = i;
    // The page's rules: several files are paired in list order with as many zips, one file
    // goes into every selected zip (here the first alone, as one volume would).
    if (spread.size() == 1)
        plan.zips.AddFiles(spread, {0});
    else if (!spread.empty())
        plan.zips.AddFiles(spread, every);
    for (const std::string& file : each)
        plan.zips.AddFiles({file}, every);
    return plan;
}

ZipPlan PlanZipRun(const std::string& programDir, const std::string& outputDir, const std::vector<ZipEntry>& zips,
                   int recoveryDisks)
{
    ZipPlan plan;
    if (!DirectoryPresent(outputDir)) {
        plan.refusal = RunRefusal {kOutputErrorCaption, "Output directory not found."};
        return plan;
    }
    plan.outputField = outputDirForCommand(outputDir);
    // Paths go in from the root, so that no name can be read as one of zip's switches.
    const std::string outDir = outputDirForCommand(absolutePath(outputDir));
    std::vector<std::vector<std::string>> contents;
    for (const ZipEntry& entry : zips) {
        std::vector<std::string> files;
        for (const std::string& file : entry.content)
            files.push_back(absolutePath(file));
        contents.push_back(std::move(files));
    }
    // A double quote would end its quoted word early and hand zip other words than the ones
    // shown; nothing runs then.
    std::vector<std::string> inserts {*plan.outputField, outDir};
    for (std::size_t i = 0; i < zips.size(); ++i) {
        inserts.push_back(zips[i].name);
        inserts.insert(inserts.end(), contents[i].begin(), contents[i].end());
    }
    if (containsDoubleQuote(inserts)) {
        plan.refusal = quoteRefusal();
        return plan;
    }
    for (std::size_t i = 0; i < zips.size(); ++i) {
        plan.commandLines.push_back(zipCommandLine(programDir, outDir, zips[i].name, contents[i]));
        plan.zipFiles.push_back(zipFileMade(outDir, zips[i].name));
        plan.testCommandLines.push_back(zipTestCommandLine(programDir, plan.zipFiles.back()));
    }
    plan.recoveryDisks = std::clamp(recoveryDisks, 0, kMaxRecoveryDisks);
    if (!plan.zipFiles.empty()) {
        const std::string& first = plan.zipFiles.front();
        plan.checksumFile = first.substr(0, first.find_last_of(kPathSeparator) + 1) + checksumFileName(first);
    }
    return plan;
}

} // namespace pkm
