// The program's start: the application object and the main window.
#include "app/MainWindow.h"
#include "platform/program_paths.h"
#include "platform/widgets/Application.h"
#include "resources/Resources.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    initResources();
    app.setWindowIcon(applicationIcon());
    TForm1 form(pkm::ProgramPaths::beside(applicationDirectory()));
    form.show();
    return app.exec();
}
