// runArchivers: the Start button shown as working, the command lines run through the stub one
// after the other with their progress and a Stop button, and the closing lines of the log.
#include "archiving/ArchiverRun.h"

#include "archiving/LogBox.h"
#include "archiving/RunState.h"
#include "archiving/command_lines.h"
#include "platform/scope_guard.h"
#include "platform/stop_signals.h"
#include "platform/widgets/Dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <memory>

namespace pkm {

namespace {

// Shows "Working..." on the button and disables it until the object goes. Disabling the
// focused button moves the focus on to the next control, where Enter would press something
// else after the run: the focus goes back to the button unless the user has put it somewhere
// else meanwhile.
class StartButtonRun {
public:
    explicit StartButtonRun(QPushButton* button)
        : button_(button)
        , hadFocus_(button->hasFocus())
    {
        button_->setText(QStringLiteral("Working..."));
        button_->setEnabled(false);
        if (hadFocus_)
            focusMovedTo_ = QApplication::focusWidget();
    }
    ~StartButtonRun()
    {
        button_->setEnabled(true);
        button_->setText(QStringLiteral("&Start"));
        if (hadFocus_ && QApplication::focusWidget() == focusMovedTo_)
            button_->setFocus();
    }
    StartButtonRun(const StartButtonRun&) = delete;
    StartButtonRun& operator=(const StartButtonRun&) = delete;

private:
    QPushButton* button_;
    bool hadFocus_;
    QWidget* focusMovedTo_ = nullptr;
};

// Shows the Stop button until the object goes; it and Escape on its page (while the page is
// shown) ask the run to stop.
class StopButtonShown {
public:
    StopButtonShown(QPushButton* button, StopRequest& stop)
        : button_(button)
    {
        if (button_ == nullptr)
            return;
        QObject::connect(button_, &QPushButton::clicked, &context_, [&stop] { stop.request(); });
        escape_ = std::make_unique<QShortcut>(QKeySequence(Qt::Key_Escape), button_->parentWidget());
        QObject::connect(escape_.get(), &QShortcut::activated, &context_, [&stop] { stop.request(); });
        button_->show();
    }
    ~StopButtonShown()
    {
        if (button_ != nullptr)
            button_->hide();
    }
    StopButtonShown(const StopButtonShown&) = delete;
    StopButtonShown& operator=(const StopButtonShown&) = delete;

private:
    QPushButton* button_;
    // The connections go with it.
    QObject context_;
    std::unique_ptr<QShortcut> escape_;
};

// The run's progress on its bar and the time beside it, the time brought up to date every
// second while the run goes.
class ProgressShown {
public:
    ProgressShown(QProgressBar* bar, QLabel* label, const RunProgress& progress)
        : bar_(bar)
        , label_(label)
        , progress_(progress)
    {
        QObject::connect(&ticks_, &QTimer::timeout, &ticks_, [this] { show(); });
        ticks_.start(1000);
        show();
    }
    void show()
    {
        if (bar_ != nullptr)
            bar_->setValue(progress_.percent());
        if (label_ != nullptr)
            label_->setText(QString::fromStdString(progress_.timeText(RunProgress::Clock::now())));
    }
    void stop()
    {
        ticks_.stop();
        show();
    }

private:
    QProgressBar* bar_;
    QLabel* label_;
    const RunProgress& progress_;
    QTimer ticks_;
};

} // namespace

void runArchivers(const ArchiverRun& run, const std::vector<CommandStep>& steps, const SeriesFiles& files)
{
    if (run.runs != nullptr && !run.runs->begin(run.page, run.othersWait))
        return;
    const pkm::ScopeGuard runOver([&run] {
        if (run.runs != nullptr)
            run.runs->end(run.page);
    });
    QWidget* window = run.startButton->window();
    run.log->clearLog();
    // A stopped run says so last, after the closing lines.
    std::string lastLine;
    const pkm::ScopeGuard stoppedLine([&run, &lastLine] {
        if (!lastLine.empty())
            run.log->appendLine(lastLine);
    });
    const pkm::ScopeGuard closingLines([&run] {
        for (const std::string& line : pkm::closingLines(run.filesCreated()))
            run.log->appendLine(line);
    });
    RunProgress progress(run.kind, RunProgress::Clock::now());
    ProgressShown shown(run.progressBar, run.timeLabel, progress);
    StopRequest stop;
    // Shown before Start is disabled, so that the focus leaving Start lands on Stop.
    const StopButtonShown stopButton(run.stopButton, stop);
    // Destroyed before the closing lines are written, as the button comes back.
    const StartButtonRun running(run.startButton);
    CommandSequence sequence {run.programDir, nullptr, window};
    sequence.onLine = [&run, &progress, &shown](TPiper* sender, const std::string& line) {
        run.onLine(sender, line);
        if (progress.line(line))
            shown.show();
    };
    sequence.onStep = [&progress, &shown](std::size_t step, std::size_t stepCount) {
        progress.step(step, stepCount);
        shown.show();
    };
    sequence.stop = &stop;
    const auto failure = runCommandSequence(sequence, steps, files);
    progress.finish(RunProgress::Clock::now(), !failure);
    shown.stop();
    // Stopped as asked and undone, the run needs no message; should putting the earlier files
    // back have failed, the message says so. A stop signal ends the program once the run is
    // undone: no message waits for a click.
    if (failure && stop.requested() && *failure == pkm::kRunStoppedText)
        lastLine = pkm::kRunStoppedText;
    else if (failure && pkm::stopSignal() == 0)
        Dialogs().showMessage(window, QString::fromLatin1(pkm::kCompressionErrorCaption),
                              QString::fromLocal8Bit(*failure), MessageIcon::Error);
}

} // namespace pkm
