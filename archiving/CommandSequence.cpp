// runCommandSequence: runSteps through one TPiper.
#include "archiving/CommandSequence.h"

#include "archiving/Piper.h"

namespace pkm {

namespace {

class PiperRunner final : public CommandRunner {
public:
    explicit PiperRunner(TPiper& piper)
        : piper_(piper)
    {
    }

    RunOutcome run(const std::string& commandLine, const EnvironmentAdditions& environment) override
    {
        piper_.ImageName = commandLine;
        piper_.Environment = environment;
        const int result = piper_.RunCommand();
        return {result, piper_.ExitCode, piper_.StartError};
    }

private:
    TPiper& piper_;
};

} // namespace

std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps,
                                              const SeriesFiles& files)
{
    TPiper piper(sequence.programDir, sequence.owner);
    piper.OnNewLine = sequence.onLine;
    PiperRunner runner(piper);
    return runSteps(runner, steps, files, {sequence.programDir, sequence.onStep});
}

} // namespace pkm
