// The volume and zip runs of the command line: the pages' plans, run through the stub.
#include "app/archiver_commands.h"

#include "app/console_log.h"
#include "archiving/command_lines.h"
#include "archiving/command_sequence.h"
#include "archiving/run_plan.h"
#include "archiving/run_progress.h"
#include "archiving/stub_pipe.h"
#include "archiving/volume_files.h"
#include "archiving/zip_set.h"
#include "platform/paths.h"

#include <ostream>

namespace pkm {

namespace {

void printRefusal(std::ostream& err, const pkm::RunRefusal& refusal)
{
    pkm::printFailure(err, refusal.caption, refusal.text);
}

// Runs the lines and ends the log as the pages do; the failure, if any, on `err`. The log's
// status shows the run's progress as the pages' bars do.
int runAndClose(const std::string& programDir, const std::vector<CommandStep>& steps, const SeriesFiles& files,
                RunKind kind, pkm::ConsoleLog& log, const std::function<std::size_t()>& filesCreated, std::ostream& out,
                std::ostream& err)
{
    using Clock = RunProgress::Clock;
    RunProgress progress(kind, Clock::now());
    const auto showProgress = [&log, &progress] { log.status(progress.statusText(Clock::now())); };
    StubPipe pipe(programDir, [&log, &progress, &showProgress](const std::string& line) {
        log.line(line);
        progress.line(line);
        showProgress();
    });
    pipe.setTick(showProgress);
    SequenceHooks hooks {programDir, {}};
    hooks.onStep = [&progress, &showProgress](std::size_t step, std::size_t stepCount) {
        progress.step(step, stepCount);
        showProgress();
    };
    const std::optional<std::string> failure = runSteps(pipe, steps, files, hooks);
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

int RunVolumes(const pkm::VolumesOptions& options, const std::string& programDir, const Console& console,
               std::ostream& out, std::ostream& err)
{
    const pkm::VolumePlan plan = pkm::PlanVolumeRun(
        programDir, {options.input, options.output, options.name, options.size, options.ace});
    if (plan.refusal) {
        printRefusal(err, *plan.refusal);
        return 1;
    }
    pkm::ConsoleLog log(out, console, true);
    return runAndClose(
        programDir, volumeSteps(plan), {}, RunKind::Volumes, log,
        [&] { return pkm::countVolumeFiles(plan.outputField, options.name); }, out, err);
}

int RunZips(const pkm::ZipsOptions& options, const std::string& programDir, const Console& console, std::ostream& out,
            std::ostream& err)
{
    const pkm::ZipSeriesPlan series = pkm::PlanZipSeries(options.name, options.count, options.spread, options.each);
    if (series.refusal) {
        printRefusal(err, *series.refusal);
        return 1;
    }
    const pkm::ZipSet& zips = series.zips;
    const pkm::ZipPlan plan = pkm::PlanZipRun(programDir, options.output, zips.entries(), options.recovery);
    if (plan.refusal) {
        printRefusal(err, *plan.refusal);
        return 1;
    }
    pkm::ConsoleLog log(out, console, false);
    const std::size_t count = zips.size();
    return runAndClose(
        programDir, zipSteps(plan), zipSeriesFiles(plan), RunKind::Zips, log, [count] { return count; }, out, err);
}

} // namespace pkm
