#include "app/MainWindow.h"
#include "platform/widgets/Application.h"
#include "resources/Resources.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    initResources();
    app.setWindowIcon(applicationIcon());
    TForm1 form;
    form.show();
    return app.exec();
}
