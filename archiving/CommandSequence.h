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
    // Tests what the command made, before anything is replaced; empty for no test.
    std::string testCommandLine;
};

// Files that go with the files the steps make, made once every step succeeded and put in place
// with them.
struct SeriesFiles {
    // The checksum file, which lists every file the steps make; empty for none.
    std::string checksumFile;
    // Recovery files beside it, made by par2 from the files of its directory: any this many of
    // them can be rebuilt. 0 for none.
    int recoveryFiles = 0;
};

// Runs the steps in order and stops at the first that fails to start or exits with an error,
// or when a stop signal comes. Returns the text of the "Compression error" message then,
// nothing when every step ran and its files are in place.
std::optional<std::string> runCommandSequence(const CommandSequence& sequence, const std::vector<CommandStep>& steps,
                                              const SeriesFiles& files = {});
// The volume run of a plan: one line; the volume archiver keeps its volumes whole itself, so the
// step replaces no single file.
std::vector<CommandStep> volumeSteps(const pkm::VolumePlan& plan);
// The zip runs of a plan: each line makes its zip afresh, and zip tests it.
std::vector<CommandStep> zipSteps(const pkm::ZipPlan& plan);
// What goes with the zips of a plan: their checksum file and recovery disks.
SeriesFiles zipSeriesFiles(const pkm::ZipPlan& plan);

} // namespace pkm
