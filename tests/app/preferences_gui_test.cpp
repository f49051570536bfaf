// The main window's Preferences button as the wizard sees it: the section creator runs
// modally, and OK reloads the sections and fills empty output boxes.
#include "app/MainWindow.h"

#include "archiving/RarPage.h"
#include "archiving/ZipPage.h"
#include "editor/SectionCreatorDialog.h"
#include "editor/TextWindow.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "templates/NfoDizPage.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

using namespace pkm;

namespace {

const char* const kStore = "[Main]\r\nNFO clone=clone.nfo\r\nOutput dir=/srv/first\r\n"
                           "[Section 1]\r\nName=Title\r\nLine=3\r\n"
                           "[Section 2]\r\nName=Size\r\nDiz=1\r\n";

class Preferences : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.writeIni(kStore);
        dir.write("clone.nfo", "template\r\n");
        form = std::make_unique<TForm1>(dir.paths());
        form->show();
        ASSERT_EQ(form->nfoSections().size(), 1u);
        ASSERT_EQ(form->dizSections().size(), 1u);
    }

    // A value typed on page 1 as the page stores it, then back to page 0 where Preferences is.
    void typeOnPage1(const QString& value)
    {
        find<QCheckBox>(form, "CheckBox1")->setChecked(true);
        form->ShowNfoPage();
        auto* page = find<NfoDizPage>(form, "NfoDiz");
        find<QTreeWidget>(page, "TreeView1")
            ->setCurrentItem(find<QTreeWidget>(page, "TreeView1")->topLevelItem(0)->child(0));
        page->EValueEnter();
        find<QLineEdit>(page, "EValue")->setText(value);
        page->EValueExit(find<QLineEdit>(page, "EValue"));
        form->ShowIntroPage();
        ASSERT_EQ(form->nfoSections()[0].Value, value.toStdString());
    }

    ProgramDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(Preferences, OkReloadsTheSectionsAndFillsOnlyEmptyOutputBoxes)
{
    typeOnPage1("typed on page 1");
    find<QLineEdit>(form->rarPage(), "OutDirEdit")->setText("/kept");
    find<QLineEdit>(form->zipPage(), "OutDirEdit2")->clear();

    QPointer<TForm2> seen;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        auto* creator = qobject_cast<TForm2*>(d);
        EXPECT_NE(creator, nullptr);
        if (creator == nullptr)
            return int(QDialog::Rejected);
        seen = creator;
        EXPECT_EQ(creator->parent(), form.get());
        auto* list = find<QListWidget>(creator, "ListBox1");
        EXPECT_EQ(list->count(), 2);
        list->clearSelection();
        QTest::mouseClick(find<QToolButton>(creator, "BitBtn3"), Qt::LeftButton); // a new NFO section at the top
        find<QLineEdit>(creator, "Edit5")->setText("/srv/second");
        QTest::mouseClick(find<QPushButton>(creator, "Button1"), Qt::LeftButton);
        return creator->result();
    });
    QTest::mouseClick(find<QToolButton>(form, "BitBtn3"), Qt::LeftButton);

    ASSERT_TRUE(dialogs.dialogHandlers.empty());
    EXPECT_EQ(dialogs.dialogTitles, std::vector<QString>({"NDO/DIZ section creator"}));
    EXPECT_TRUE(seen.isNull()); // destroyed after use
    ASSERT_EQ(form->nfoSections().size(), 2u);
    EXPECT_EQ(form->nfoSections()[0].Name, "Default name");
    EXPECT_EQ(form->nfoSections()[1].Name, "Title");
    EXPECT_EQ(form->nfoSections()[1].Value, ""); // values typed so far give way to the file's
    ASSERT_EQ(form->dizSections().size(), 1u);
    EXPECT_EQ(find<QLineEdit>(form->rarPage(), "OutDirEdit")->text(), "/kept");
    EXPECT_EQ(find<QLineEdit>(form->zipPage(), "OutDirEdit2")->text(), "/srv/second");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Preferences, OkFillsBothBoxesWhenBothAreEmpty)
{
    find<QLineEdit>(form->rarPage(), "OutDirEdit")->clear();
    find<QLineEdit>(form->zipPage(), "OutDirEdit2")->clear();
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        auto* creator = static_cast<TForm2*>(d);
        find<QLineEdit>(creator, "Edit5")->setText("/srv/second");
        creator->accept();
        return creator->result();
    });
    QTest::mouseClick(find<QToolButton>(form, "BitBtn3"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>(form->rarPage(), "OutDirEdit")->text(), "/srv/second");
    EXPECT_EQ(find<QLineEdit>(form->zipPage(), "OutDirEdit2")->text(), "/srv/second");
}

TEST_F(Preferences, CancelKeepsTheListsTheBoxesAndTheFile)
{
    typeOnPage1("typed on page 1");
    find<QLineEdit>(form->rarPage(), "OutDirEdit")->clear();
    find<QLineEdit>(form->zipPage(), "OutDirEdit2")->clear();

    QPointer<TForm2> seen;
    QPointer<TForm3> helper;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        auto* creator = static_cast<TForm2*>(d);
        seen = creator;
        creator->show();
        QTest::mouseClick(find<QToolButton>(creator, "BitBtn2"), Qt::LeftButton);
        find<QLineEdit>(creator, "Edit5")->setText("/srv/second");
        QTest::mouseClick(find<QToolButton>(creator, "BitBtn5"), Qt::LeftButton);
        helper = creator->helper();
        EXPECT_FALSE(helper.isNull());
        QTest::mouseClick(find<QPushButton>(creator, "Button2"), Qt::LeftButton);
        return creator->result();
    });
    QTest::mouseClick(find<QToolButton>(form, "BitBtn3"), Qt::LeftButton);

    EXPECT_TRUE(seen.isNull());
    EXPECT_TRUE(helper.isNull());
    ASSERT_EQ(form->nfoSections().size(), 1u);
    EXPECT_EQ(form->nfoSections()[0].Value, "typed on page 1");
    EXPECT_TRUE(find<QLineEdit>(form->rarPage(), "OutDirEdit")->text().isEmpty());
    EXPECT_TRUE(find<QLineEdit>(form->zipPage(), "OutDirEdit2")->text().isEmpty());
    EXPECT_EQ(dir.read("Release.ini"), kStore);
}

TEST_F(Preferences, PagesBuiltAfterOkShowWhatTheyWouldHaveShownFromTheStart)
{
    // Pages 2 and 3 are built on first use: what OK offered them before must still count, and
    // only for a box that was empty at start-up.
    const struct {
        const char* startOutputDir;
        const char* expected;
    } rows[] = {{"/srv/first", "/srv/first"}, {"", "/srv/second"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.startOutputDir);
        form.reset();
        dir.writeIni(std::string("[Main]\r\nOutput dir=") + row.startOutputDir + "\r\n");
        form = std::make_unique<TForm1>(dir.paths());
        form->show();
        ASSERT_EQ(form->findChild<RarPage*>(), nullptr);
        ASSERT_EQ(form->findChild<ZipPage*>(), nullptr);
        dialogs.dialogHandlers.push_back([&](QDialog* d) {
            auto* creator = static_cast<TForm2*>(d);
            find<QLineEdit>(creator, "Edit5")->setText("/srv/second");
            creator->accept();
            return creator->result();
        });
        QTest::mouseClick(find<QToolButton>(form, "BitBtn3"), Qt::LeftButton);
        EXPECT_EQ(find<QLineEdit>(form->rarPage(), "OutDirEdit")->text(), row.expected);
        EXPECT_EQ(find<QLineEdit>(form->zipPage(), "OutDirEdit2")->text(), row.expected);
    }
}
