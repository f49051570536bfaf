// The program's start: the command line, then the application object and the main window, or
// the job a command asks for.
#include "app/ArchiverCommands.h"
#include "app/MainWindow.h"
#include "app/RenderCommand.h"
#include "app/ViewerWindow.h"
#include "app/command_line.h"
#include "app/generate_command.h"
#include "app/verify_command.h"
#include "archiving/Piper.h"
#include "platform/program_paths.h"
#include "platform/stop_signals.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/StopSignals.h"
#include "resources/Resources.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <iostream>
#include <unistd.h>
#include <utility>

// The wizard's own window and pipe classes are global; everything else is in pkm.
using namespace pkm;

namespace {

QtMessageHandler qtMessages = nullptr;

// The offscreen platform looks up the session's runtime folder, which a picture never needs;
// without a session (a CI job, a root shell) Qt would warn about it on every run.
void withoutRuntimeDirWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtMessages(type, context, message);
}

// The commands run without a window: the archivers' pipe needs an event loop, a picture
// needs fonts, neither needs a display. Qt gets the program's name alone: it would take a
// command's argument such as a file named "-platform" as an option of its own.
int runCommand(const pkm::CommandLine& commandLine, char* programName)
{
    int argc = 1;
    char* argv[] = {programName, nullptr};
    if (commandLine.action == pkm::CommandAction::Render) {
        // Pictures are drawn in memory: the offscreen platform, whatever QT_QPA_PLATFORM says.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qtMessages = qInstallMessageHandler(withoutRuntimeDirWarning);
        QGuiApplication app(argc, argv);
        return RunRender(commandLine.render, std::cout, std::cerr);
    }
    QCoreApplication app(argc, argv);
    const std::string programDir = applicationDirectory();
    // A stop signal ends a run's archiver and undoes the run; the exit status then says which.
    const auto stopped = [](int status) { return pkm::stopSignal() != 0 ? 128 + pkm::stopSignal() : status; };
    switch (commandLine.action) {
    case pkm::CommandAction::Generate:
        return pkm::RunGenerate(commandLine.generate,
                                pkm::ProgramPaths::forProgram(programDir, pkm::processEnvironment()), std::cout,
                                std::cerr);
    case pkm::CommandAction::Volumes:
        StopSignals::install();
        return stopped(RunVolumes(commandLine.volumes, programDir, ::isatty(STDOUT_FILENO) == 1, std::cout, std::cerr));
    case pkm::CommandAction::Zips:
        StopSignals::install();
        return stopped(RunZips(commandLine.zips, programDir, std::cout, std::cerr));
    case pkm::CommandAction::Verify:
        return pkm::RunVerify(commandLine.verify, programDir, std::cout, std::cerr);
    default:
        return pkm::runCommandLine(commandLine, std::cout, std::cerr);
    }
}

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
    // Whatever runs archivers records stop signals from now on, and acts on them once a run or
    // the window can be ended cleanly.
    if (commandLine.action == pkm::CommandAction::Window || commandLine.action == pkm::CommandAction::Volumes
        || commandLine.action == pkm::CommandAction::Zips)
        pkm::installStopSignals();
    switch (commandLine.action) {
    case pkm::CommandAction::Window:
    case pkm::CommandAction::View:
        break;
    case pkm::CommandAction::Generate:
    case pkm::CommandAction::Volumes:
    case pkm::CommandAction::Zips:
    case pkm::CommandAction::Render:
    case pkm::CommandAction::Verify:
        return runCommand(commandLine, argv[0]);
    default:
        return pkm::runCommandLine(commandLine, std::cout, std::cerr);
    }

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
