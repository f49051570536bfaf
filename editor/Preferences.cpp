// The main window's Preferences button: the section creator, and what the wizard takes from it.
#include "app/MainWindow.h"

#include "archiving/RarPage.h"
#include "archiving/ZipPage.h"
#include "editor/SectionCreatorDialog.h"
#include "platform/widgets/Dialogs.h"

#include <QLineEdit>

#include <memory>

void TForm1::BitBtn3Click()
{
    // Owned by the main window, and destroyed here however the dialog ends.
    const std::unique_ptr<TForm2> creator(new TForm2(this));
    if (Dialogs().execDialog(creator.get()) != QDialog::Accepted)
        return;
    // Release.ini was rewritten: the sections typed on page 1 give way to the new definitions.
    ReloadSectionLists();
    if (Page2->OutDirEdit->text().isEmpty())
        Page2->OutDirEdit->setText(creator->Edit5->text());
    if (Page3->OutDirEdit2->text().isEmpty())
        Page3->OutDirEdit2->setText(creator->Edit5->text());
}
