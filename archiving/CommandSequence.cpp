// runCommandSequence: one pipe to the stub, the lines run in order, the files they make afresh
// replacing the earlier ones together, the first failure named.
#include "archiving/CommandSequence.h"

#include "archiving/Piper.h"
#include "archiving/set_replacement.h"
#include "platform/stop_signals.h"

namespace pkm {

std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps)
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
        if (!step.replaces.empty()) {
            if (const pkm::ReplaceError error = series.afterStep(step.replaces))
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
        steps.push_back({plan.commandLines[i], plan.zipFiles[i], pkm::ArchiverKind::Zip});
    return steps;
}

} // namespace pkm
