#pragma once
// runCommandSequence: command lines run through the stub one after the other. Shared by the
// pages' Start buttons and by the command line, with or without a window.
#include "archiving/run_plan.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QObject;
class TPiper;

struct CommandSequence {
    // The directory of the stub PKM.DLL, ending in a separator.
    std::string programDir;
    // Each line of the archivers' output.
    std::function<void(TPiper* sender, const std::string& line)> onLine;
    // Owner of the pipe while it runs; may be null.
    QObject* owner = nullptr;
};

struct CommandStep {
    std::string commandLine;
    // The file the command makes afresh, or empty. An earlier file there is moved aside while
    // the command runs, removed after it succeeded and put back after it failed.
    std::string replaces;
};

// Runs the steps in order and stops at the first that fails to start or exits with an error.
// Returns the text of the "Compression error" message then, nothing when every step ran.
std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps);
// The zip runs of a plan: each line makes its zip afresh.
std::vector<CommandStep> zipSteps(const pkm::ZipPlan& plan);

// The same for command lines that replace no file.
std::optional<std::string> runCommandSequence(const CommandSequence& sequence,
                                              const std::vector<std::string>& commandLines);
