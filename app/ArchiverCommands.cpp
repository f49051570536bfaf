// The volume and zip runs of the command line: the pages' plans, run through the stub.
#include "app/ArchiverCommands.h"

#include "app/console_log.h"
#include "archiving/CommandSequence.h"
#include "archiving/command_lines.h"
#include "archiving/run_plan.h"
#include "archiving/volume_files.h"
#include "archiving/zip_set.h"
#include "platform/paths.h"

#include <ostream>

namespace {

void printRefusal(std::ostream& err, const pkm::RunRefusal& refusal)
{
    pkm::printFailure(err, refusal.caption, refusal.text);
}

// Runs the lines and ends the log as the pages do; the failure, if any, on `err`.
int runAndClose(const std::string& programDir, const std::vector<CommandStep>& steps, pkm::ConsoleLog& log,
                const std::function<std::size_t()>& filesCreated, std::ostream& out, std::ostream& err)
{
    const std::optional<std::string> failure =
        runCommandSequence({programDir, [&log](TPiper*, const std::string& line) { log.line(line); }, nullptr},
                           steps);
    log.finish();
    for (const std::string& line : pkm::closingLines(filesCreated()))
        out << line << '\n';
    out.flush();
    if (!failure)
        return 0;
    pkm::printFailure(err, pkm::kCompressionErrorCaption, *failure);
    return 1;
}

} // namespace

int RunVolumes(const pkm::VolumesOptions& options, const std::string& programDir, bool terminal, std::ostream& out,
               std::ostream& err)
{
    const pkm::VolumePlan plan =
        pkm::PlanVolumeRun(programDir, {options.input, options.output, options.name, options.size, options.ace});
    if (plan.refusal) {
        printRefusal(err, *plan.refusal);
        return 1;
    }
    pkm::ConsoleLog log(out, terminal, true);
    return runAndClose(
        programDir, {{plan.commandLine, {}}}, log,
        [&] { return pkm::countVolumeFiles(plan.outputField, options.name); }, out, err);
}

int RunZips(const pkm::ZipsOptions& options, const std::string& programDir, std::ostream& out, std::ostream& err)
{
    // The open-file dialog only offers files that exist; zip would skip a missing one (or a
    // folder, a FIFO, a device) with a warning and leave it out of the release.
    for (const auto* files : {&options.spread, &options.each}) {
        for (const std::string& file : *files) {
            if (const std::optional<pkm::RunRefusal> refusal = pkm::CheckZipInput(file)) {
                printRefusal(err, *refusal);
                return 1;
            }
        }
    }
    pkm::ZipSet zips;
    zips.AddSeries(options.name, options.count);
    // The dialog makes one zip of a name without a number, whatever the count; a script that
    // asked for more would ship a release short of disks.
    if (zips.size() != static_cast<std::size_t>(options.count)) {
        pkm::printFailure(err, "Zip error",
                          "The series from " + options.name + " has " + std::to_string(zips.size())
                              + (zips.size() == 1 ? " zip name" : " zip names") + ", not "
                              + std::to_string(options.count) + ": a name needs a number to count from.");
        return 1;
    }
    // The page leaves files beyond the last zip out; a release would lose them.
    if (options.spread.size() > zips.size()) {
        pkm::printFailure(err, "Zip error",
                          std::to_string(options.spread.size()) + " files to spread over " + std::to_string(zips.size())
                              + " zips.");
        return 1;
    }
    pkm::ZipSelection every(zips.size());
    for (std::size_t i = 0; i < every.size(); ++i)
        every[i] = i;
    // The page's rules: several files are paired in list order with as many zips, one file
    // goes into every selected zip (here the first alone, as one volume would).
    if (options.spread.size() == 1)
        zips.AddFiles(options.spread, {0});
    else if (!options.spread.empty())
        zips.AddFiles(options.spread, every);
    for (const std::string& file : options.each)
        zips.AddFiles({file}, every);

    const pkm::ZipPlan plan = pkm::PlanZipRun(programDir, options.output, zips.entries());
    if (plan.refusal) {
        printRefusal(err, *plan.refusal);
        return 1;
    }
    pkm::ConsoleLog log(out, false, false);
    const std::size_t count = zips.size();
    return runAndClose(programDir, zipSteps(plan), log, [count] { return count; }, out, err);
}
