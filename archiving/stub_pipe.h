#pragma once
// StubPipe runs one console command through the stub PKM.DLL of the program's directory without
// an event loop, for the command line: the output is read as it comes and cut into lines.
#include "archiving/command_sequence.h"
#include "archiving/line_splitter.h"

#include <functional>
#include <string>
#include <utility>

namespace pkm {

class StubPipe final : public CommandRunner {
public:
    // Runs the stub of programDir (ending in a separator); every line of output goes to onLine.
    StubPipe(std::string programDir, std::function<void(const std::string& line)> onLine);

    // Returns once the stub has ended and what it wrote has been read. A stop signal ends the
    // stub, which passes it on to its command; so does the end of this process.
    RunOutcome run(const std::string& commandLine, const EnvironmentAdditions& environment) override;

    // Called while a command runs, after every read and every fifth of a second without output:
    // for what changes with time alone, such as a clock shown beside the output.
    void setTick(std::function<void()> tick) { tick_ = std::move(tick); }

private:
    std::string programDir_;
    // Carried over from run to run, as a pair of line ends may be split between two runs.
    LineSplitter splitter_;
    std::function<void()> tick_;
};

} // namespace pkm
