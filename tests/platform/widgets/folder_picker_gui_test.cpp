#include "platform/widgets/FolderPicker.h"

#include "support/gui/scripted_dialogs.h"

#include <QDir>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace pkm;

TEST(BrowseDirectoryDialog, ProgramSettingsStartAtTheRootWithTheirTitleAndStatus)
{
    ScriptedDialogs dialogs;
    TBrowseDirectoryDlg dlg;
    dlg.configureForPakmaster();
    QLineEdit box;
    browseIntoBox(dlg, &box);
    ASSERT_EQ(dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(dialogs.folderRequests[0].selection, QDir::rootPath());
    EXPECT_EQ(dialogs.folderRequests[0].title, QStringLiteral("Pakmaster."));
    EXPECT_EQ(dialogs.folderRequests[0].statusText, QStringLiteral("Please choose a directory."));
    EXPECT_FALSE(dialogs.folderRequests[0].enableOk);
}

TEST(BrowseDirectoryDialog, SelectionLosesOneTrailingSeparatorAndTheChosenPathIsKeptAsGiven)
{
    ScriptedDialogs dialogs;
    TBrowseDirectoryDlg dlg;
    dlg.configureForPakmaster();

    dlg.setSelection(QStringLiteral("/srv/games/"));
    EXPECT_EQ(dlg.Selection(), QStringLiteral("/srv/games"));
    dlg.setSelection(QStringLiteral("/"));
    EXPECT_EQ(dlg.Selection(), QStringLiteral("/"));

    // Confirming the root puts it into the box with its separator.
    QLineEdit box(QStringLiteral("/srv/games/"));
    dialogs.folderAnswers.push_back(QStringLiteral("/"));
    browseIntoBox(dlg, &box);
    EXPECT_EQ(dialogs.folderRequests.back().selection, QStringLiteral("/srv/games"));
    EXPECT_EQ(box.text(), QStringLiteral("/"));

    // A cancel keeps the box and empties the selection, so the next browse of an empty box
    // asks for no folder.
    box.setText(QStringLiteral("/keep"));
    browseIntoBox(dlg, &box);
    EXPECT_EQ(box.text(), QStringLiteral("/keep"));
    EXPECT_TRUE(dlg.Selection().isEmpty());
    QLineEdit empty;
    browseIntoBox(dlg, &empty);
    EXPECT_TRUE(dialogs.folderRequests.back().selection.isEmpty());
    EXPECT_TRUE(empty.text().isEmpty());
}
