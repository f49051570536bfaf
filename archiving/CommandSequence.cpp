// runCommandSequence: runSteps through one TPiper.
#include "archiving/CommandSequence.h"

#include "archiving/Piper.h"
#include "platform/scope_guard.h"

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

void StopRequest::request()
{
    requested_ = true;
    if (stopNow_)
        stopNow_();
}

std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps,
                                              const SeriesFiles& files)
{
    TPiper piper(sequence.programDir, sequence.owner);
    piper.OnNewLine = sequence.onLine;
    PiperRunner runner(piper);
    SequenceHooks hooks {sequence.programDir, sequence.onStep};
    StopRequest* stop = sequence.stop;
    if (stop != nullptr) {
        hooks.stopRequested = [stop] { return stop->requested(); };
        stop->setStopNow([&piper] { piper.Stop(); });
    }
    const pkm::ScopeGuard detach([stop] {
        if (stop != nullptr)
            stop->setStopNow(nullptr);
    });
    return runSteps(runner, steps, files, hooks);
}

} // namespace pkm
