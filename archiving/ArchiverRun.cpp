// runArchivers: the Start button shown as working, the command lines run through the stub one
// after the other, and the closing lines of the log.
#include "archiving/ArchiverRun.h"

#include "archiving/LogBox.h"
#include "archiving/command_lines.h"
#include "platform/scope_guard.h"
#include "platform/stop_signals.h"
#include "platform/widgets/Dialogs.h"

#include <QApplication>
#include <QPushButton>

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

} // namespace

void runArchivers(const ArchiverRun& run, const std::vector<CommandStep>& steps, const SeriesFiles& files)
{
    QWidget* window = run.startButton->window();
    run.log->clearLog();
    const pkm::ScopeGuard closingLines([&run] {
        for (const std::string& line : pkm::closingLines(run.filesCreated()))
            run.log->appendLine(line);
    });
    // Destroyed before the closing lines are written, as the button comes back.
    const StartButtonRun running(run.startButton);
    const auto failure = runCommandSequence({run.programDir, run.onLine, window}, steps, files);
    // A stop signal ends the program once the run is undone: no message waits for a click.
    if (failure && pkm::stopSignal() == 0)
        Dialogs().showMessage(window, QString::fromLatin1(pkm::kCompressionErrorCaption),
                              QString::fromLocal8Bit(*failure), MessageIcon::Error);
}

} // namespace pkm
