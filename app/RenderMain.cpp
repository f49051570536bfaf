// The picture program's start, in place of the command-line program for `pakmaster render`: Qt's
// fonts and painting without a display, and without the widgets the window needs.
#include "app/RenderCommand.h"
#include "app/command_line.h"

#include <QGuiApplication>

#include <iostream>

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

} // namespace

int main(int argc, char** argv)
{
    const pkm::CommandLine commandLine = pkm::parseCommandLine(
        argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>());
    if (commandLine.action != pkm::CommandAction::Render)
        return pkm::runCommandLine(commandLine, std::cout, std::cerr);
    // Qt gets the program's name alone: it would take a command's argument such as a file named
    // "-platform" as an option of its own.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    // Pictures are drawn in memory: the offscreen platform, whatever QT_QPA_PLATFORM says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtMessages = qInstallMessageHandler(withoutRuntimeDirWarning);
    QGuiApplication app(qtArgc, qtArgv);
    return pkm::RunRender(commandLine.render, std::cout, std::cerr);
}
