// The start-up references: a bare dialog of the main window's size, shown as the program shows
// its window, and (PAKMASTER_WITH_LABEL) the same dialog with one line of text, which is all it
// takes to load the fonts.
#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.resize(447, 325);
#ifdef PAKMASTER_WITH_LABEL
    new QLabel(QStringLiteral("Pakmaster"), &dialog);
#endif
    dialog.show();
    return app.exec();
}
