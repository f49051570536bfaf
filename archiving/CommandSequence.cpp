// runCommandSequence: one pipe to the stub, the lines run in order, each file a line makes afresh
// kept whole, the first failure named.
#include "archiving/CommandSequence.h"

#include "archiving/Piper.h"
#include "archiving/command_lines.h"
#include "archiving/file_aside.h"
#include "platform/errors.h"

std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps)
{
    TPiper piper(sequence.programDir, sequence.owner);
    piper.OnNewLine = sequence.onLine;
    for (const CommandStep& step : steps) {
        pkm::FileAside earlier(step.replaces);
        if (earlier.error() != 0)
            return pkm::exitCodeText(earlier.error());
        piper.ImageName = step.commandLine;
        if (piper.RunCommand() == 0 && piper.ExitCode == 0) {
            earlier.discard();
            continue;
        }
        earlier.restore();
        return piper.ExitCode == 0 ? std::string(pkm::kStartFailureText) : pkm::exitCodeText(piper.ExitCode);
    }
    return std::nullopt;
}

std::optional<std::string> runCommandSequence(const CommandSequence& sequence,
                                              const std::vector<std::string>& commandLines)
{
    std::vector<CommandStep> steps;
    for (const std::string& line : commandLines)
        steps.push_back({line, {}});
    return runCommandSequence(sequence, steps);
}

std::vector<CommandStep> zipSteps(const pkm::ZipPlan& plan)
{
    std::vector<CommandStep> steps;
    for (std::size_t i = 0; i < plan.commandLines.size(); ++i)
        steps.push_back({plan.commandLines[i], plan.zipFiles[i]});
    return steps;
}
