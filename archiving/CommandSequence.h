#pragma once
// runCommandSequence: the steps of a run through TPiper, which keeps the window responsive while
// each command runs.
#include "archiving/command_sequence.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QObject;
class TPiper;

namespace pkm {

// A Stop button's request to a run under way: the command that runs is ended as a stop signal
// ends it, no further command starts, and the run is undone (runSteps' stopRequested).
class StopRequest {
public:
    void request();
    bool requested() const { return requested_; }
    // What ends the command under way; the sequence sets it while it runs.
    void setStopNow(std::function<void()> stopNow) { stopNow_ = std::move(stopNow); }

private:
    bool requested_ = false;
    std::function<void()> stopNow_;
};

struct CommandSequence {
    // The directory of the stub PKM.DLL, ending in a separator.
    std::string programDir;
    // Each line of the archivers' output.
    std::function<void(TPiper* sender, const std::string& line)> onLine;
    // Owner of the pipe while it runs; may be null.
    QObject* owner = nullptr;
    // Called before each command line runs (see SequenceHooks).
    std::function<void(std::size_t step, std::size_t steps)> onStep {};
    // Asked between commands and ending the one that runs; may be null.
    StopRequest* stop = nullptr;
};

// runSteps with one TPiper for every command line.
std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps,
                                              const SeriesFiles& files = {});

} // namespace pkm
