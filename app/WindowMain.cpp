// The window program's start, in place of the command-line program: the application object and
// the main window, or the viewer.
#include "app/MainWindow.h"
#include "app/ViewerWindow.h"
#include "app/command_line.h"
#include "archiving/Piper.h"
#include "platform/program_paths.h"
#include "platform/stop_signals.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/StopSignals.h"
#include "resources/Resources.h"

#include <QTimer>

#include <iostream>
#include <utility>

// The wizard's own window and pipe classes are global; everything else is in pkm.
using namespace pkm;

namespace {

// The window ends on a stop signal once every run under way has been ended and undone.
void exitOnStopSignal(QObject* context)
{
    QObject::connect(StopSignals::install(), &StopSignals::stopRequested, context, [context] {
        static bool stopping = false;
        if (std::exchange(stopping, true))
            return;
        auto* waiting = new QTimer(context);
        // Asked again at every tick: a modal loop that the first request ends (a message box
        // shown before the main loop runs) does not end the program.
        QObject::connect(waiting, &QTimer::timeout, context, [] {
            if (TPiper::running() == 0)
                QCoreApplication::exit(128 + pkm::stopSignal());
        });
        waiting->start(20);
    });
}

} // namespace

int main(int argc, char** argv)
{
    // Read before the application object exists, which would need a display.
    const pkm::CommandLine commandLine = pkm::parseCommandLine(
        argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>());
    switch (commandLine.action) {
    case pkm::CommandAction::Window:
    case pkm::CommandAction::View:
        break;
    default:
        return pkm::runCommandLine(commandLine, std::cout, std::cerr);
    }

    // Runs record stop signals from now on, and act on them once they can be ended cleanly.
    pkm::installStopSignals();
    // Qt sees no file name: it would take one such as "-platform" for an option of its own.
    int qtArgc = 1;
    TApplication app(qtArgc, argv);
    initResources();
    app.setWindowIcon(applicationIcon());
    if (commandLine.action == pkm::CommandAction::View)
        return RunViewer(commandLine.viewFile);
    exitOnStopSignal(&app);
    TForm1 form(pkm::ProgramPaths::forProgram(applicationDirectory(), pkm::processEnvironment()));
    form.show();
    const int status = app.exec();
    return pkm::stopSignal() != 0 ? 128 + pkm::stopSignal() : status;
}
