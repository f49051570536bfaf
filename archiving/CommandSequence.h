#pragma once
// runCommandSequence: command lines run through the stub one after the other. Shared by the
// pages' Start buttons and by the command line, with or without a window.
#include "archiving/command_lines.h"
#include "archiving/run_plan.h"

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
};

struct CommandStep {
    std::string commandLine;
    // The file the command makes afresh, or empty. The earlier file there is taken out of the
    // way while the command runs; the files the steps made replace the earlier ones together,
    // once every step succeeded, and after any failure the earlier ones are all as they were.
    std::string replaces;
    // What the archiver's exit status means.
    pkm::ArchiverKind archiver = pkm::ArchiverKind::Volumes;
};

// Runs the steps in order and stops at the first that fails to start or exits with an error,
// or when a stop signal comes. Returns the text of the "Compression error" message then,
// nothing when every step ran and its files are in place.
std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps);
// The zip runs of a plan: each line makes its zip afresh.
std::vector<CommandStep> zipSteps(const pkm::ZipPlan& plan);

} // namespace pkm
