#pragma once
// runArchivers and what it takes (ArchiverRun): the run behind a Start button, shared by the
// Rar and Zip pages.
#include "archiving/CommandSequence.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QPushButton;
class TPiper;

namespace pkm {

class TLogBox;

struct ArchiverRun {
    QPushButton* startButton;
    TLogBox* log;
    // The directory of the stub PKM.DLL.
    std::string programDir;
    // Each line of the archivers' output.
    std::function<void(TPiper* sender, const std::string& line)> onLine;
    // The count for the closing line, taken once the run is over.
    std::function<std::size_t()> filesCreated;
};

// Clears the log, shows "Working..." on the disabled Start button, and runs the command
// steps one after the other through the stub (runCommandSequence). The first that fails to start or exits with
// an error ends the run with the "Compression error" message. However the run ends, the
// button comes back as "&Start" (with the focus, when it had it and nobody moved it) and the
// log gets its closing lines.
void runArchivers(const ArchiverRun& run, const std::vector<CommandStep>& steps, const SeriesFiles& files = {});

} // namespace pkm
