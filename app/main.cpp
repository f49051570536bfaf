#include "app/Unit1.h"
#include "platform/application.h"
#include "resources/resources.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    initResources();
    app.setWindowIcon(applicationIcon());
    TForm1 form;
    form.show();
    return app.exec();
}
