// The checks of the Start buttons and the command lines they lead to.
#include "archiving/run_plan.h"

#include "archiving/command_lines.h"
#include "archiving/file_aside.h"
#include "platform/paths.h"

namespace pkm {

namespace {

RunRefusal quoteRefusal()
{
    return {kQuoteRefusalCaption, kQuoteRefusalText};
}

} // namespace

VolumePlan PlanVolumeRun(const std::string& programDir, const VolumeRequest& request)
{
    VolumePlan plan;
    // Typed text goes into the command line as it stands: a double quote would end its
    // argument early and hand the archiver words of the user's making.
    if (containsDoubleQuote({request.inputDir, request.outputDir, request.name, request.size, programDir})) {
        plan.refusal = quoteRefusal();
        return plan;
    }
    if (!DirectoryPresent(request.inputDir)) {
        plan.refusal = RunRefusal {"Input error", "Input directory not found."};
        return plan;
    }
    const std::string inDir = inputDirForCommand(request.inputDir);
    // An empty field would name no directory at all.
    plan.inputField = inDir.empty() ? request.inputDir : inDir;
    if (!DirectoryPresent(request.outputDir)) {
        plan.refusal = RunRefusal {"Output error", "Output directory not found."};
        return plan;
    }
    plan.outputField = outputDirForCommand(request.outputDir);
    plan.commandLine = volumeCommandLine(programDir, request.size, plan.outputField, request.name, inDir,
                                         request.useAce);
    return plan;
}

ZipPlan PlanZipRun(const std::string& programDir, const std::string& outputDir, const std::vector<ZipEntry>& zips)
{
    ZipPlan plan;
    if (!DirectoryPresent(outputDir)) {
        plan.refusal = RunRefusal {"Output error", "Output directory not found."};
        return plan;
    }
    plan.outputField = outputDirForCommand(outputDir);
    // A double quote would end its quoted word early and hand zip other words than the ones
    // shown; nothing runs then.
    std::vector<std::string> inserts {*plan.outputField};
    for (const ZipEntry& entry : zips) {
        inserts.push_back(entry.name);
        inserts.insert(inserts.end(), entry.content.begin(), entry.content.end());
    }
    if (containsDoubleQuote(inserts)) {
        plan.refusal = quoteRefusal();
        return plan;
    }
    for (const ZipEntry& entry : zips) {
        plan.commandLines.push_back(zipCommandLine(programDir, *plan.outputField, entry.name, entry.content));
        plan.zipFiles.push_back(zipFileMade(*plan.outputField, entry.name));
    }
    return plan;
}

} // namespace pkm
