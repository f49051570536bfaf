#pragma once
// runArchivers and what it takes (ArchiverRun): the run behind a Start button, shared by the
// Rar and Zip pages.
#include "archiving/CommandSequence.h"
#include "archiving/run_progress.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QObject;
class QProgressBar;
class QPushButton;
class TPiper;

namespace pkm {

class RunState;
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

    // Shown while the run goes, with Escape on its page; null for none.
    QPushButton* stopButton = nullptr;
    // The run's progress and its time; null for none.
    QProgressBar* progressBar = nullptr;
    QLabel* timeLabel = nullptr;
    RunKind kind = RunKind::Volumes;
    // One run at a time: taken by `page` for the run, `othersWait` saying why to the other
    // pages; null when nothing is shared.
    RunState* runs = nullptr;
    const QObject* page = nullptr;
    QString othersWait;
};

// Clears the log, shows "Working..." on the disabled Start button and the Stop button beside
// the progress, and runs the command steps one after the other through the stub
// (runCommandSequence). The first that fails to start or exits with an error ends the run with
// the "Compression error" message; Stop (or Escape) ends the archiver, undoes the run and says
// so on the log's last line, with no message. However the run ends, the button comes back as
// "&Start" (with the focus, when it had it and nobody moved it) and the log gets its closing
// lines. Nothing runs while another run holds `runs`.
void runArchivers(const ArchiverRun& run, const std::vector<CommandStep>& steps, const SeriesFiles& files = {});

} // namespace pkm
