// The program's start: the command line, then the job a command asks for. The commands run plain
// C++ and load no Qt; the window and the viewer are the window program's, pictures the picture
// program's, which takes this process's place with the same arguments.
#include "app/archiver_commands.h"
#include "app/command_line.h"
#include "app/generate_command.h"
#include "app/verify_command.h"
#include "platform/child_process.h"
#include "platform/program_paths.h"
#include "platform/stop_signals.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Standard output as a terminal of so many columns, or not a terminal.
pkm::Console standardOutput()
{
    pkm::Console console;
    console.terminal = ::isatty(STDOUT_FILENO) == 1;
    winsize size {};
    if (console.terminal && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0)
        console.columns = size.ws_col;
    return console;
}

} // namespace

int main(int argc, char** argv)
{
    const pkm::CommandLine commandLine = pkm::parseCommandLine(
        argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>());
    const std::string programDir = pkm::runningProgramDir();
    // A stop signal ends a run's archiver and undoes the run; the exit status then says which.
    const auto stopped = [](int status) { return pkm::stopSignal() != 0 ? 128 + pkm::stopSignal() : status; };
    switch (commandLine.action) {
    case pkm::CommandAction::Window:
    case pkm::CommandAction::View:
    case pkm::CommandAction::Render: {
        const std::string windowProgram =
            programDir + (commandLine.action == pkm::CommandAction::Render ? pkm::kRenderProgram : pkm::kWindowProgram);
        pkm::replaceProcess(windowProgram, argv);
        std::cerr << "pakmaster: cannot start " << windowProgram << ": " << std::strerror(errno) << '\n';
        return 127;
    }
    case pkm::CommandAction::Generate:
        return pkm::RunGenerate(commandLine.generate,
                                pkm::ProgramPaths::forProgram(programDir, pkm::processEnvironment()), std::cout,
                                std::cerr);
    case pkm::CommandAction::Volumes:
        pkm::installStopSignals();
        return stopped(pkm::RunVolumes(commandLine.volumes, programDir, standardOutput(), std::cout, std::cerr));
    case pkm::CommandAction::Zips:
        pkm::installStopSignals();
        return stopped(pkm::RunZips(commandLine.zips, programDir, standardOutput(), std::cout, std::cerr));
    case pkm::CommandAction::Verify:
        return pkm::RunVerify(commandLine.verify, programDir, std::cout, std::cerr);
    default:
        return pkm::runCommandLine(commandLine, std::cout, std::cerr);
    }
}
