#pragma once
// ArchiverPage: what the Rar and Zip pages show the window around them, an output directory
// box and a Start button whose run may be under way, and what they share for a run: its
// progress bar and time, its Stop button, and the one run the pages allow at a time.
#include "archiving/run_progress.h"

#include <QString>
#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pkm {

struct ArchiverRun;
class RunState;

class ArchiverPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Fills the output directory box.
    void setOutputDirectory(const QString& dir);
    QString outputDirectory() const;
    // Fills the output directory box when it is empty.
    void offerOutputDirectory(const QString& dir);
    // Start is disabled: a run is under way, this page's or (one at a time) another page's.
    bool isRunning() const;

protected:
    // The page's own controls, set once it has made them.
    struct RunControls {
        QLineEdit* outputDirectory;
        QPushButton* start;
        QPushButton* stop;
        QProgressBar* progress;
        QLabel* time;
    };
    // `runs` is shared with the other pages: while another page's run goes, Start waits.
    void setRunControls(const RunControls& controls, std::shared_ptr<RunState> runs);
    // The shared part of a run of this page: its controls, the kind of progress it makes, and
    // why the other pages wait meanwhile.
    void prepareRun(ArchiverRun& run, RunKind kind, const QString& othersWait) const;

private:
    // Start follows the run under way elsewhere.
    void followRuns();

    RunControls controls_ {};
    std::shared_ptr<RunState> runs_;
};

} // namespace pkm
