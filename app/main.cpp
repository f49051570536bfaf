// The program's start: the command line, then the application object and the main window, or
// the job a command asks for.
#include "app/ArchiverCommands.h"
#include "app/MainWindow.h"
#include "app/RenderCommand.h"
#include "app/command_line.h"
#include "app/generate_command.h"
#include "platform/program_paths.h"
#include "platform/widgets/Application.h"
#include "resources/Resources.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <iostream>
#include <unistd.h>

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
    switch (commandLine.action) {
    case pkm::CommandAction::Generate:
        return pkm::RunGenerate(commandLine.generate,
                                pkm::ProgramPaths::forProgram(programDir, pkm::processEnvironment()), std::cout,
                                std::cerr);
    case pkm::CommandAction::Volumes:
        return RunVolumes(commandLine.volumes, programDir, ::isatty(STDOUT_FILENO) == 1, std::cout, std::cerr);
    case pkm::CommandAction::Zips:
        return RunZips(commandLine.zips, programDir, std::cout, std::cerr);
    default:
        return pkm::runCommandLine(commandLine, std::cout, std::cerr);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Read before the application object exists, which would need a display.
    const pkm::CommandLine commandLine = pkm::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.action) {
    case pkm::CommandAction::Window:
        break;
    case pkm::CommandAction::Generate:
    case pkm::CommandAction::Volumes:
    case pkm::CommandAction::Zips:
    case pkm::CommandAction::Render:
        return runCommand(commandLine, argv[0]);
    default:
        return pkm::runCommandLine(commandLine, std::cout, std::cerr);
    }

    TApplication app(argc, argv);
    initResources();
    app.setWindowIcon(applicationIcon());
    TForm1 form(pkm::ProgramPaths::forProgram(applicationDirectory(), pkm::processEnvironment()));
    form.show();
    return app.exec();
}
