// The NfoDiz page driven through its widgets: choosing sections, typing values and numbers,
// the style controls, adding, deleting and renaming sections, and the memo editor.
#include "app/MainWindow.h"

#include "editor/TextWindow.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/TextCodec.h"
#include "platform/widgets/UpDown.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "templates/NfoDizPage.h"
#include "templates/template_store.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace pkm;

namespace {

pkm::TParam section(const std::string& name, const std::string& value = std::string(), std::uint16_t line = 1)
{
    pkm::TParam p;
    p.Name = name;
    p.Value = value;
    p.Line = line;
    return p;
}

class NfoDizPageTest : public ::testing::Test {
protected:
    // The page alone, editing a list of the test's own, shown as a window of its own.
    void start(const pkm::SectionList& records)
    {
        sections = records;
        alone = std::make_unique<NfoDizPage>();
        alone->setMemoEditor(editSectionValue);
        page = alone.get();
        page->FillSectionTree(sections, true);
        page->show();
        QApplication::setActiveWindow(page);
    }

    // Starts the wizard with these sections in Release.ini, ticks the options (1 NFO, 2 DIZ,
    // 3 Rar, 4 Zip) and presses Next.
    void startWizard(const pkm::SectionList& records, std::initializer_list<int> options = {1})
    {
        dir.writeIni(pkm::BuildTemplateStore("", records, pkm::TemplateSettings {}));
        form = std::make_unique<TForm1>(dir.paths());
        form->show();
        QApplication::setActiveWindow(form.get());
        page = form->nfoDizPage();
        const char* boxes[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};
        for (int option : options)
            QTest::mouseClick(find<QCheckBox>(form, boxes[option - 1]), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(form, "Button2"), Qt::LeftButton);
        ASSERT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 1);
    }

    // The NFO sections as they now stand.
    const pkm::SectionList& list() const { return form ? form->nfoSections() : sections; }

    QTreeWidgetItem* fileNode() const { return find<QTreeWidget>(page, "TreeView1")->topLevelItem(0); }
    QTreeWidgetItem* node(int k) const { return fileNode()->child(k - 1); }

    void clickNode(QTreeWidgetItem* item)
    {
        QTreeWidget* tree = find<QTreeWidget>(page, "TreeView1");
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }

    // Opens the tree's popup menu as a right click would, and chooses an item.
    void choose(QAction* action)
    {
        QTreeWidget* tree = find<QTreeWidget>(page, "TreeView1");
        const QPoint at = tree->viewport()->rect().bottomLeft() + QPoint(5, -5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &event);
        ASSERT_TRUE(QTest::qWaitFor([&] { return find<QMenu>(page, "PopupMenu1")->isVisible(); }));
        if (!action->isEnabled()) {
            find<QMenu>(page, "PopupMenu1")->close();
            return;
        }
        QTest::mouseClick(find<QMenu>(page, "PopupMenu1"), Qt::LeftButton, {},
                          find<QMenu>(page, "PopupMenu1")->actionGeometry(action).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !find<QMenu>(page, "PopupMenu1")->isVisible(); }));
    }

    // The digit tiles of the section nodes, as the last digits of their positions.
    std::vector<int> digits() const
    {
        std::vector<int> out;
        for (int i = 0; i < fileNode()->childCount(); ++i) {
            const int image = fileNode()->child(i)->data(0, Qt::UserRole).toInt();
            EXPECT_EQ(fileNode()->child(i)->data(0, Qt::UserRole + 1).toInt(), image + 10);
            out.push_back((image + 1) % 10);
        }
        return out;
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const pkm::TParam& p : list())
            out.push_back(p.Name);
        return out;
    }

    void typeInto(QLineEdit* box, const QString& text)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        ASSERT_TRUE(box->hasFocus());
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    ProgramDir dir;
    ScriptedDialogs dialogs;
    pkm::SectionList sections;
    std::unique_ptr<NfoDizPage> alone;
    std::unique_ptr<TForm1> form;
    NfoDizPage* page = nullptr;
};

} // namespace

TEST_F(NfoDizPageTest, AValueTypedBeforeClickingAnotherNodeGoesToTheSectionItWasTypedFor)
{
    start({section("Title", "old title"), section("Version", "1.0"), section("Date")});
    clickNode(node(1));
    EXPECT_EQ(find<QLineEdit>(page, "EValue")->text(), QStringLiteral("old title"));
    typeInto(find<QLineEdit>(page, "EValue"), QStringLiteral("Pakmaster "));
    // A character of the code page's upper half, as a keyboard delivers it.
    QKeyEvent shade(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x2591)));
    QApplication::sendEvent(find<QLineEdit>(page, "EValue"), &shade);
    QTest::keyClicks(find<QLineEdit>(page, "EValue"), QStringLiteral(" Gold"));
    // Typing alone stores nothing yet.
    EXPECT_EQ(list()[0].Value, "old title");
    clickNode(node(2));
    EXPECT_EQ(list()[0].Value, "Pakmaster \xB0 Gold");
    EXPECT_EQ(list()[1].Value, "1.0");
    EXPECT_EQ(find<QLineEdit>(page, "EValue")->text(), QStringLiteral("1.0"));
    EXPECT_EQ(page->editedSectionIndex(), -1);
}

TEST_F(NfoDizPageTest, ChangingTheFirstLineOfAMemoValueKeepsTheOtherLines)
{
    pkm::TParam notes = section("Notes");
    notes.Style = true;
    notes.Value = "first\r\nsecond\r\nthird";
    start({section("Title"), notes});
    clickNode(node(2));
    EXPECT_EQ(find<QLineEdit>(page, "EValue")->text(), QStringLiteral("first"));
    typeInto(find<QLineEdit>(page, "EValue"), QStringLiteral("changed"));
    clickNode(node(1));
    EXPECT_EQ(list()[1].Value, "changed\r\nsecond\r\nthird");
}

TEST_F(NfoDizPageTest, NumberBoxesStoreOnLeavingAndRefuseWhatIsNotANumber)
{
    pkm::TParam s = section("Size", "", 7);
    s.Start = 12;
    s.Width = 30;
    start({s});
    clickNode(node(1));

    // Cleared: the message after the focus change, the stored number back, nothing stored.
    typeInto(find<QLineEdit>(page, "ELine"), QString());
    QTest::keyClick(find<QLineEdit>(page, "ELine"), Qt::Key_Backspace);
    EXPECT_TRUE(find<QLineEdit>(page, "ELine")->text().isEmpty());
    QTest::mouseClick(find<QLineEdit>(page, "EStart"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>(page, "ELine")->text(), QStringLiteral("7"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Input error"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Numeric values only!"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(list()[0].Line, 7);

    // Zero becomes 1.
    typeInto(find<QLineEdit>(page, "EStart"), QStringLiteral("0"));
    QTest::mouseClick(find<QLineEdit>(page, "ELength"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>(page, "EStart")->text(), QStringLiteral("1"));
    EXPECT_EQ(list()[0].Start, 1);

    // Only digits get in; backspace works; a fourth digit does not fit.
    struct Row {
        QString typed;
        QString shown;
    };
    const Row rows[] = {{QStringLiteral("4a-$2"), QStringLiteral("42")},
                        {QStringLiteral("x-1 $"), QStringLiteral("1")},
                        {QStringLiteral("1234"), QStringLiteral("123")},
                        {QStringLiteral("9\b8"), QStringLiteral("8")}};
    for (const Row& row : rows) {
        typeInto(find<QLineEdit>(page, "ELength"), QString());
        for (QChar c : row.typed) {
            if (c == QLatin1Char('\b'))
                QTest::keyClick(find<QLineEdit>(page, "ELength"), Qt::Key_Backspace);
            else
                QTest::keyClicks(find<QLineEdit>(page, "ELength"), QString(c));
        }
        EXPECT_EQ(find<QLineEdit>(page, "ELength")->text(), row.shown) << row.typed.toStdString();
    }
    QTest::mouseClick(find<QLineEdit>(page, "EValue"), Qt::LeftButton);
    EXPECT_EQ(list()[0].Width, 8);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(NfoDizPageTest, TheUpperArrowRaisesTheLineAndStopsAt999)
{
    start({section("Title", "", 998)});
    clickNode(node(1));
    auto* up = find<TUpDown>(page, "UpDown1")->findChild<QToolButton*>(QStringLiteral("up"));
    ASSERT_NE(up, nullptr);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>(page, "ELine")->text(), QStringLiteral("999"));
    EXPECT_EQ(list()[0].Line, 999);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>(page, "ELine")->text(), QStringLiteral("999"));
    EXPECT_EQ(list()[0].Line, 999);

    // With the file node selected the arrows change the number shown and nothing else.
    clickNode(fileNode());
    QTest::mouseClick(find<TUpDown>(page, "UpDown3")->findChild<QToolButton*>(QStringLiteral("up")), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>(page, "ELength")->text(), QStringLiteral("2"));
    EXPECT_EQ(list()[0].Width, 1);
}

TEST_F(NfoDizPageTest, AddBeforeTheThirdOfFiveSectionsInsertsADefaultSectionReadyToBeNamed)
{
    startWizard(
        {section("S1", "v1"), section("S2", "v2"), section("S3", "v3"), section("S4", "v4"), section("S5", "v5")});
    clickNode(node(3));
    choose(find<QAction>(page, "Add1"));

    EXPECT_EQ(names(), (std::vector<std::string> {"S1", "S2", "Default name", "S3", "S4", "S5"}));
    EXPECT_EQ(node(3)->text(0), QStringLiteral("Default name"));
    EXPECT_EQ(node(4)->text(0), QStringLiteral("S3"));
    EXPECT_EQ(digits(), (std::vector<int> {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(find<QTreeWidget>(page, "TreeView1")->currentItem(), node(3));
    EXPECT_TRUE(find<QLineEdit>(page, "EValue")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>(page, "EValue")->text().isEmpty());
    EXPECT_EQ(find<QLineEdit>(page, "ELine")->text(), QStringLiteral("1"));
    EXPECT_EQ(find<QLineEdit>(page, "EStart")->text(), QStringLiteral("1"));
    EXPECT_EQ(find<QLineEdit>(page, "ELength")->text(), QStringLiteral("1"));
    EXPECT_EQ(find<TRadioGroup>(page, "RStyle")->itemIndex(), 0);
    EXPECT_EQ(find<TRadioGroup>(page, "RAlignment")->itemIndex(), 0);
    EXPECT_FALSE(find<QCheckBox>(page, "CCaps")->isChecked());
    EXPECT_FALSE(find<QToolButton>(page, "BMore")->isEnabled());

    // The label is open: typing names the section.
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(find<QTreeWidget>(page, "TreeView1")->isAncestorOf(editor));
    QTest::keyClicks(editor, QStringLiteral("Cracker"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()[2].Name == "Cracker"; }));
    EXPECT_EQ(node(3)->text(0), QStringLiteral("Cracker"));
    EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 1);
}

TEST_F(NfoDizPageTest, AddWithTheFileNodeSelectedAppendsTheSection)
{
    start({section("S1"), section("S2")});
    choose(find<QAction>(page, "Add1")); // nothing selected
    clickNode(fileNode());
    choose(find<QAction>(page, "Add1"));
    EXPECT_EQ(names(), (std::vector<std::string> {"S1", "S2", "Default name", "Default name"}));
    EXPECT_EQ(digits(), (std::vector<int> {1, 2, 3, 4}));
    EXPECT_EQ(find<QTreeWidget>(page, "TreeView1")->currentItem(), node(4));
}

TEST_F(NfoDizPageTest, DeleteTheFirstOfTwelveRenumbersTheRest)
{
    pkm::SectionList records;
    for (int i = 1; i <= 12; ++i)
        records.push_back(
            section("S" + std::to_string(i), "value " + std::to_string(i), static_cast<std::uint16_t>(i)));
    start(records);

    // With no section node selected Delete is disabled and the editors too.
    choose(find<QAction>(page, "Delete1"));
    EXPECT_FALSE(find<QAction>(page, "Delete1")->isEnabled());
    EXPECT_EQ(list().size(), 12u);
    EXPECT_FALSE(find<QLineEdit>(page, "EValue")->isEnabled());

    clickNode(node(1));
    // A right click on another node does not move the selection the menu acts on.
    QTest::mouseClick(find<QTreeWidget>(page, "TreeView1")->viewport(), Qt::RightButton, {},
                      find<QTreeWidget>(page, "TreeView1")->visualItemRect(node(5)).center());
    EXPECT_EQ(find<QTreeWidget>(page, "TreeView1")->currentItem(), node(1));
    choose(find<QAction>(page, "Delete1"));

    ASSERT_EQ(list().size(), 11u);
    EXPECT_EQ(list()[0].Name, "S2");
    EXPECT_EQ(digits(), (std::vector<int> {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}));
    // The editors follow the node the tree selected.
    QTreeWidgetItem* current = find<QTreeWidget>(page, "TreeView1")->currentItem();
    ASSERT_NE(current, nullptr);
    ASSERT_NE(current, fileNode());
    const int index = fileNode()->indexOfChild(current);
    EXPECT_EQ(find<QLineEdit>(page, "EValue")->text(), toDisplay(list()[static_cast<std::size_t>(index)].Value));
    EXPECT_EQ(find<QLineEdit>(page, "ELine")->text(), QString::number(list()[static_cast<std::size_t>(index)].Line));

    // Deleting the last section leaves the file node, and the editors cleared.
    while (!list().empty()) {
        clickNode(node(1));
        choose(find<QAction>(page, "Delete1"));
    }
    EXPECT_EQ(fileNode()->childCount(), 0);
    EXPECT_FALSE(find<QLineEdit>(page, "EValue")->isEnabled());
}

TEST_F(NfoDizPageTest, F2RenamesSectionNodesOnly)
{
    startWizard({section("Title"), section("Group")});
    QTreeWidget* tree = find<QTreeWidget>(page, "TreeView1");

    clickNode(fileNode());
    QTest::keyClick(tree, Qt::Key_F2);
    EXPECT_EQ(QApplication::focusWidget(), tree);

    clickNode(node(2));
    QTest::keyClick(tree, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(tree->isAncestorOf(editor));
    QTest::keyClicks(editor, QStringLiteral("Crew"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()[1].Name == "Crew"; }));
    EXPECT_EQ(node(2)->text(0), QStringLiteral("Crew"));
    EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 1) << "Enter went on to Next";

    // Escape cancels; an accepted empty label gives an empty name.
    QTest::keyClick(tree, Qt::Key_F2);
    editor = QApplication::focusWidget();
    QTest::keyClicks(editor, QStringLiteral("Other"));
    QTest::keyClick(editor, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == tree; }));
    EXPECT_EQ(list()[1].Name, "Crew");
    QTest::keyClick(tree, Qt::Key_F2);
    editor = QApplication::focusWidget();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()[1].Name.empty(); }));
    EXPECT_TRUE(node(2)->text(0).isEmpty());
}

TEST_F(NfoDizPageTest, StyleAlignmentAndCapsChangeTheSectionAtOnce)
{
    pkm::TParam odd = section("Odd");
    odd.Alignment = 7;
    pkm::TParam centred = section("Centred");
    centred.Alignment = 2;
    start({section("Plain"), odd, centred});
    clickNode(node(1));
    EXPECT_FALSE(find<QToolButton>(page, "BMore")->isEnabled());
    QTest::mouseClick(find<TRadioGroup>(page, "RStyle")->button(1), Qt::LeftButton);
    EXPECT_TRUE(list()[0].Style);
    EXPECT_TRUE(find<QToolButton>(page, "BMore")->isEnabled());
    QTest::mouseClick(find<TRadioGroup>(page, "RStyle")->button(0), Qt::LeftButton);
    EXPECT_FALSE(list()[0].Style);
    EXPECT_FALSE(find<QToolButton>(page, "BMore")->isEnabled());
    QTest::mouseClick(find<TRadioGroup>(page, "RAlignment")->button(1), Qt::LeftButton);
    EXPECT_EQ(list()[0].Alignment, 1);
    QTest::mouseClick(find<QCheckBox>(page, "CCaps"), Qt::LeftButton);
    EXPECT_TRUE(list()[0].Caps);

    // An alignment outside 0 to 2 shows as Center; showing it changed the choice, so it is stored.
    clickNode(node(2));
    EXPECT_EQ(find<TRadioGroup>(page, "RAlignment")->itemIndex(), 2);
    EXPECT_EQ(list()[1].Alignment, 2);
    // Shown right after a centred section the choice does not change, and the odd value stays.
    sections[1].Alignment = 7;
    clickNode(node(3));
    clickNode(node(2));
    EXPECT_EQ(list()[1].Alignment, 7);
}

TEST_F(NfoDizPageTest, MemoEditorHoldsTheSectionWidthAndStoresTheLinesItShows)
{
    pkm::TParam narrow = section("Narrow", "one two three four five six");
    narrow.Style = true;
    narrow.Width = 10;
    pkm::TParam wide = section("Wide");
    wide.Style = true;
    wide.Width = 60;
    start({narrow, wide});

    clickNode(node(1));
    ASSERT_TRUE(find<QToolButton>(page, "BMore")->isEnabled());
    int outerWidth = 0;
    int memoColumns = 0;
    QString caption;
    std::vector<std::string> shownLines;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        auto* editor = qobject_cast<TForm3*>(d);
        outerWidth = editor->width();
        memoColumns = editor->columns();
        caption = editor->windowTitle();
        shownLines = editor->displayLines();
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(find<QToolButton>(page, "BMore"), Qt::LeftButton);
    EXPECT_EQ(outerWidth, 188);
    EXPECT_EQ(memoColumns, (188 - 20 - 6) / 8) << "the memo widens with the window";
    EXPECT_EQ(shownLines, (std::vector<std::string> {"one two three four ", "five six"}));
    EXPECT_EQ(caption, QStringLiteral("Narrow"));
    EXPECT_EQ(list()[0].Value, "one two three four five six") << "Cancel changes nothing";

    clickNode(node(2));
    const std::string longLine = "The quick brown fox jumps over the lazy dog, then over the fence and far away "
                                 "into the hills, where nobody will ever find it again.";
    int columns = 0;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        auto* editor = qobject_cast<TForm3*>(d);
        columns = editor->columns();
        find<QTextEdit>(editor, "Memo1")->setPlainText(QString::fromLatin1(longLine.c_str()));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(find<QToolButton>(page, "BMore"), Qt::LeftButton);
    EXPECT_EQ(columns, 60);
    const std::string& value = list()[1].Value;
    EXPECT_EQ(value.substr(value.size() - 2), "n.") << "no line break after the last line";
    std::size_t begin = 0;
    int lines = 0;
    for (;;) {
        const std::size_t cr = value.find("\r\n", begin);
        const std::string line = value.substr(begin, cr == std::string::npos ? std::string::npos : cr - begin);
        EXPECT_LE(line.size(), 61u) << line; // a wrap-point blank may hang past the edge
        EXPECT_LE(line.find_last_not_of(' ') + 1, 60u) << line;
        ++lines;
        if (cr == std::string::npos)
            break;
        begin = cr + 2;
    }
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(find<QLineEdit>(page, "EValue")->text(), toDisplay(value.substr(0, value.find('\r'))));
}

TEST_F(NfoDizPageTest, ValuesLiveOnAcrossTheDizViewButNotAcrossARestart)
{
    pkm::TParam dizLine = section("Diz line", "diz value");
    dizLine.Diz = true;
    startWizard({section("Title", "from ini"), dizLine}, {1, 2});
    ASSERT_TRUE(form->nfoMode());

    clickNode(node(1));
    typeInto(find<QLineEdit>(page, "EValue"), QStringLiteral("typed"));
    // Enter presses Next while the value box has the focus: the value goes to its NFO section.
    QTest::keyClick(find<QLineEdit>(page, "EValue"), Qt::Key_Return);
    ASSERT_FALSE(form->nfoMode());
    EXPECT_EQ(list()[0].Value, "typed");
    EXPECT_EQ(form->dizSections()[0].Value, "diz value");
    EXPECT_EQ(node(1)->text(0), QStringLiteral("Diz line"));

    QTest::mouseClick(find<QPushButton>(form, "Button1"), Qt::LeftButton);
    ASSERT_TRUE(form->nfoMode());
    clickNode(node(1));
    EXPECT_EQ(find<QLineEdit>(page, "EValue")->text(), QStringLiteral("typed"));

    form.reset();
    TForm1 again(dir.paths());
    EXPECT_EQ(again.nfoSections()[0].Value, "from ini");
}

TEST_F(NfoDizPageTest, TreeNodesShowTheLastDigitOfTheirPosition)
{
    pkm::SectionList fourteen;
    for (int i = 1; i <= 14; ++i)
        fourteen.push_back(section("S" + std::to_string(i)));
    start(fourteen);
    QTreeWidget* tree = find<QTreeWidget>(page, "TreeView1");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* file = tree->topLevelItem(0);
    EXPECT_EQ(file->text(0), QStringLiteral("Nfo"));
    EXPECT_EQ(file->data(0, Qt::UserRole).toInt(), 20);
    EXPECT_TRUE(file->isExpanded());
    ASSERT_EQ(file->childCount(), 14);
    for (int k = 1; k <= 14; ++k) {
        EXPECT_EQ(file->child(k - 1)->data(0, Qt::UserRole).toInt(), (k - 1) % 10);
        EXPECT_EQ(file->child(k - 1)->data(0, Qt::UserRole + 1).toInt(), (k - 1) % 10 + 10);
    }
    EXPECT_EQ(file->child(13)->data(0, Qt::UserRole).toInt(), 3);
    EXPECT_EQ(tree->currentItem(), nullptr);
}

TEST_F(NfoDizPageTest, SelectingNodesFillsOrClearsTheSectionEditors)
{
    pkm::TParam memo = section("Notes", "first\r\nsecond\r\nthird");
    memo.Line = 7;
    memo.Start = 12;
    memo.Width = 30;
    memo.Style = true;
    memo.Alignment = 2;
    memo.Caps = true;
    sections = {memo};
    page = new NfoDizPage;
    alone.reset(page);
    page->FillSectionTree(sections, false);

    // After a rebuild nothing is selected: cleared and disabled.
    EXPECT_FALSE(find<QLineEdit>(page, "EValue")->isEnabled());
    EXPECT_EQ(find<TRadioGroup>(page, "RStyle")->itemIndex(), -1);
    EXPECT_EQ(find<QLineEdit>(page, "ELine")->text(), QStringLiteral("1"));

    QTreeWidgetItem* file = find<QTreeWidget>(page, "TreeView1")->topLevelItem(0);
    find<QTreeWidget>(page, "TreeView1")->setCurrentItem(file->child(0));
    page->ShowSelectedSection();
    EXPECT_TRUE(find<QLineEdit>(page, "EValue")->isEnabled());
    EXPECT_EQ(find<QLineEdit>(page, "EValue")->text(), QStringLiteral("first"));
    EXPECT_EQ(find<QLineEdit>(page, "ELine")->text(), QStringLiteral("7"));
    EXPECT_EQ(find<QLineEdit>(page, "EStart")->text(), QStringLiteral("12"));
    EXPECT_EQ(find<QLineEdit>(page, "ELength")->text(), QStringLiteral("30"));
    EXPECT_EQ(find<TRadioGroup>(page, "RStyle")->itemIndex(), 1);
    EXPECT_TRUE(find<QToolButton>(page, "BMore")->isEnabled());
    EXPECT_EQ(find<TRadioGroup>(page, "RAlignment")->itemIndex(), 2);
    EXPECT_TRUE(find<QCheckBox>(page, "CCaps")->isChecked());

    find<QTreeWidget>(page, "TreeView1")->setCurrentItem(file);
    page->ShowSelectedSection();
    for (QWidget* w : std::initializer_list<QWidget*> {
             find<QLineEdit>(page, "ELine"), find<QLineEdit>(page, "EStart"), find<QLineEdit>(page, "ELength"),
             find<QLineEdit>(page, "EValue"), find<TRadioGroup>(page, "RStyle"), find<TRadioGroup>(page, "RAlignment"),
             find<QCheckBox>(page, "CCaps"), find<QToolButton>(page, "BMore")})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(find<QLineEdit>(page, "EValue")->text().isEmpty());
    EXPECT_EQ(find<TRadioGroup>(page, "RStyle")->itemIndex(), -1);
    EXPECT_EQ(find<TRadioGroup>(page, "RAlignment")->itemIndex(), -1);
    EXPECT_EQ(find<QLineEdit>(page, "ELength")->text(), QStringLiteral("1"));
    EXPECT_FALSE(find<QCheckBox>(page, "CCaps")->isChecked());
}
