// The program's start: the command line, then the application object and the main window.
#include "app/MainWindow.h"
#include "app/command_line.h"
#include "platform/program_paths.h"
#include "platform/widgets/Application.h"
#include "resources/Resources.h"

#include <iostream>

int main(int argc, char** argv)
{
    // Read before the application object exists, which would need a display.
    const pkm::CommandLine commandLine = pkm::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (commandLine.action != pkm::CommandAction::Window)
        return pkm::runCommandLine(commandLine, std::cout, std::cerr);

    TApplication app(argc, argv);
    initResources();
    app.setWindowIcon(applicationIcon());
    TForm1 form(pkm::ProgramPaths::forProgram(applicationDirectory(), pkm::processEnvironment()));
    form.show();
    return app.exec();
}
