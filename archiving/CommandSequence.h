#pragma once
// runCommandSequence: the steps of a run through TPiper, which keeps the window responsive while
// each command runs.
#include "archiving/command_sequence.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QObject;
class TPiper;

namespace pkm {

struct CommandSequence {
    // The directory of the stub PKM.DLL, ending in a separator.
    std::string programDir;
    // Each line of the archivers' output.
    std::function<void(TPiper* sender, const std::string& line)> onLine;
    // Owner of the pipe while it runs; may be null.
    QObject* owner = nullptr;
    // Called before each command line runs (see SequenceHooks).
    std::function<void(std::size_t step, std::size_t steps)> onStep {};
};

// runSteps with one TPiper for every command line.
std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps,
                                              const SeriesFiles& files = {});

} // namespace pkm
