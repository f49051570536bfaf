// TForm2, the section creator, driven as the user drives it; and the section helper it opens.
#include "editor/SectionCreatorDialog.h"

#include "editor/SectionListBox.h"
#include "editor/TextWindow.h"
#include "platform/file_io.h"
#include "platform/widgets/FolderPicker.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/TextCodec.h"
#include "platform/widgets/UpDown.h"
#include "support/faulty_file_writer.h"
#include "support/gui/drops.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "templates/template_store.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

#include <memory>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

using namespace pkm;

namespace {

struct SectionSpec {
    std::string name;
    int line = 1;
};

// A store as the creator writes it: "Main" and one section per record.
std::string storeText(const std::vector<SectionSpec>& sections, const std::string& nfoClone = "clone.nfo",
                      const std::string& dizClone = "clone.diz", const std::string& outputDir = std::string())
{
    std::string s = "[Main]\r\nNFO clone=" + nfoClone + "\r\nNFO output=release.nfo\r\nDIZ clone=" + dizClone
        + "\r\nDIZ output=file_id.diz\r\nOutput dir=" + outputDir + "\r\n";
    int i = 1;
    for (const SectionSpec& sec : sections) {
        s += "[Section " + std::to_string(i++) + "]\r\nName=" + sec.name + "\r\nDefault=\r\nLine="
            + std::to_string(sec.line) + "\r\nStart=1\r\nWidth=1\r\nCaps=0\r\nStyle=0\r\nAlignment=1\r\nDiz=0\r\n";
    }
    return s;
}

std::vector<std::string> names(const pkm::SectionList& list)
{
    std::vector<std::string> out;
    for (const pkm::TParam& p : list)
        out.push_back(p.Name);
    return out;
}

QStringList labels(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

class SectionCreator : public ::testing::Test {
protected:
    void open(const std::string& ini)
    {
        dir.writeIni(ini);
        form = std::make_unique<TForm2>(dir.paths());
    }

    void show()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    QLineEdit* edit(const char* name) const { return find<QLineEdit>(form, name); }
    QAbstractButton* button(const char* name) const { return find<QAbstractButton>(form, name); }
    TSectionListBox* list() const { return find<TSectionListBox>(form, "ListBox1"); }

    // Gives a field the focus as Tab would and deletes its text.
    void empty(QLineEdit* field)
    {
        field->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }));
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
    }

    // Empties a field, puts the text in, and leaves it with Tab.
    void typeAndLeave(QLineEdit* field, const QString& text)
    {
        empty(field);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    QPoint rowCenter(int row) const
    {
        TSectionListBox* box = list();
        return box->visualItemRect(box->item(row)).center();
    }

    pkm::TemplateStore saved() const { return pkm::LoadTemplateStore(dir.iniPath()); }

    ProgramDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm2> form;
};

} // namespace

TEST_F(SectionCreator, WindowHasItsControlsCaptionsHintsAndTabOrder)
{
    open(storeText({{"Title"}}));
    EXPECT_EQ(form->windowTitle(), "NDO/DIZ section creator");
    EXPECT_EQ(form->size(), QSize(576, 204));

    struct Row {
        const char* name;
        QRect geometry;
    };
    const Row rows[] = {
        {"ListBox1", {10, 33, 121, 161}},   {"BitBtn3", {83, 7, 24, 24}},     {"BitBtn2", {107, 7, 24, 24}},
        {"EName", {222, 10, 121, 21}},      {"EDefault", {222, 40, 121, 21}}, {"ELine", {158, 70, 28, 21}},
        {"EStart", {227, 70, 28, 21}},      {"ELength", {298, 70, 28, 21}},   {"RStyle", {142, 100, 94, 71}},
        {"RAlignment", {249, 100, 94, 71}}, {"Edit1", {445, 10, 96, 21}},     {"BitBtn5", {542, 8, 24, 24}},
        {"Edit2", {445, 40, 121, 21}},      {"Edit3", {445, 70, 96, 21}},     {"BitBtn6", {542, 68, 24, 24}},
        {"Edit4", {445, 100, 121, 21}},     {"Edit5", {445, 130, 96, 21}},    {"BitBtn1", {542, 128, 24, 24}},
        {"Button1", {406, 173, 75, 25}},    {"Button2", {491, 173, 75, 25}},
    };
    for (const Row& row : rows) {
        auto* w = form->findChild<QWidget*>(QLatin1String(row.name));
        ASSERT_NE(w, nullptr) << row.name;
        EXPECT_EQ(w->geometry(), row.geometry) << row.name;
    }
    EXPECT_EQ(button("CCaps")->pos(), QPoint(142, 177));
    EXPECT_EQ(button("CDiz")->pos(), QPoint(249, 177));
    EXPECT_EQ(find<QFrame>(form, "Bevel1")->geometry().left(), 353);
    EXPECT_EQ(find<QFrame>(form, "Bevel1")->height(), 184);

    const std::pair<const char*, const char*> hints[] = {
        {"BitBtn3", "Add section"},
        {"BitBtn2", "Delete section"},
        {"ELine", "Line"},
        {"EStart", "Start"},
        {"ELength", "Width"},
        {"BitBtn5", "Section helper"},
        {"BitBtn6", "Section helper"},
        {"BitBtn1", ""},
    };
    for (const auto& [name, hint] : hints)
        EXPECT_EQ(find<QWidget>(form, name)->toolTip(), hint) << name;
    EXPECT_FALSE(button("BitBtn3")->icon().isNull());
    EXPECT_FALSE(button("BitBtn1")->icon().isNull());
    EXPECT_TRUE(find<QPushButton>(form, "Button1")->isDefault());
    EXPECT_EQ(find<TRadioGroup>(form, "RAlignment")->button(0)->text(), "L&eft");
    EXPECT_EQ(find<TRadioGroup>(form, "RStyle")->button(1)->text(), "&Memo");

    // Every label names its field, fits its text and ends before its field.
    const QStringList expectedLabels = {
        "Sec&tion(s):", "&Name:",      "Default &value:", "&L:",         "&S:",        "&W:",
        "Nfo clone:",   "Nfo output:", "Diz clone:",      "Diz output:", "Output dir:"};
    QStringList seen;
    for (QLabel* label : form->findChildren<QLabel*>()) {
        seen << label->text();
        ASSERT_NE(label->buddy(), nullptr) << label->text().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        if (label->buddy() != list()) {
            EXPECT_LT(label->geometry().right(), label->buddy()->geometry().left()) << label->text().toStdString();
        }
    }
    seen.sort();
    QStringList expectedSorted = expectedLabels;
    expectedSorted.sort();
    EXPECT_EQ(seen, expectedSorted);

    for (const char* name : {"UpDown1", "UpDown2", "UpDown3"}) {
        const TUpDown* ud = find<TUpDown>(form, name);
        EXPECT_EQ(ud->min(), 1);
        EXPECT_EQ(ud->max(), 999);
    }
    EXPECT_EQ(edit("ELine")->maxLength(), 3);

    show();
    EXPECT_TRUE(list()->hasFocus());
    // Tab walks the controls in their order.
    const QStringList order = {"BitBtn3", "BitBtn2", "EName", "EDefault", "ELine", "EStart", "ELength"};
    for (const QString& name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
    }
    edit("Edit5")->setFocus();
    QTest::keyClick(edit("Edit5"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), button("BitBtn1"));
    QTest::keyClick(button("BitBtn1"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), button("Button1"));
}

TEST_F(SectionCreator, AnEmptyStoreOpensEmptyAndOkWritesOnlyMain)
{
    open(std::string());
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(form->selectedIndex(), -1);
    for (QLineEdit* field : {edit("EName"), edit("EDefault"), edit("ELine"), edit("EStart"), edit("ELength"),
                             edit("Edit1"), edit("Edit5")})
        EXPECT_TRUE(field->text().isEmpty()) << field->objectName().toStdString();
    EXPECT_EQ(find<TRadioGroup>(form, "RStyle")->itemIndex(), -1);
    EXPECT_EQ(find<TRadioGroup>(form, "RAlignment")->itemIndex(), -1);
    EXPECT_FALSE(button("CCaps")->isChecked());

    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(dir.read("Release.ini"),
              "[Main]\r\nNFO clone=\r\nNFO output=\r\nDIZ clone=\r\nDIZ output=\r\nOutput dir=\r\n");
}

TEST_F(SectionCreator, OpensWithTheFirstSectionShownAndAClickShowsAnother)
{
    open(storeText({{"Title", 12}, {"Group", 14}}, "clone.nfo", "clone.diz", "/srv/out"));
    EXPECT_EQ(labels(list()), QStringList({"Section 1", "Section 2"}));
    EXPECT_EQ(form->sections().size(), 2u);
    EXPECT_EQ(form->selectedIndex(), 0);
    EXPECT_EQ(edit("EName")->text(), "Title");
    EXPECT_EQ(edit("ELine")->text(), "12");
    EXPECT_EQ(find<TRadioGroup>(form, "RStyle")->itemIndex(), 0);
    EXPECT_EQ(find<TRadioGroup>(form, "RAlignment")->itemIndex(), 0);
    EXPECT_EQ(edit("Edit1")->text(), "clone.nfo");
    EXPECT_EQ(edit("Edit2")->text(), "release.nfo");
    EXPECT_EQ(edit("Edit3")->text(), "clone.diz");
    EXPECT_EQ(edit("Edit4")->text(), "file_id.diz");
    EXPECT_EQ(edit("Edit5")->text(), "/srv/out");
    for (QLineEdit* field : {edit("EName"), edit("EDefault"), edit("ELine")})
        EXPECT_FALSE(field->isModified());

    show();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCenter(1));
    EXPECT_EQ(form->selectedIndex(), 1);
    EXPECT_EQ(edit("EName")->text(), "Group");
    EXPECT_EQ(edit("ELine")->text(), "14");
}

TEST_F(SectionCreator, AHandEditedStoreLoadsItsRecordsWithTheirFileLabels)
{
    open("[main]\r\nnfo clone=art.nfo\r\n"
         "[Options]\r\nName=not a section\r\n"
         "[SECTION12]\r\nName=Cracker\r\nDefault=  nobody  \r\nLine=0x1A\r\nStart=abc\r\nWidth=70000\r\n"
         "Caps=2\r\nStyle=1\r\nAlignment=3\r\nDiz=1\r\n"
         "[Section 2]\r\nDefault=no name, skipped\r\n"
         "[Sectionx]\r\nName=Size\r\nLine=0\r\nAlignment=9\r\n");
    EXPECT_EQ(labels(list()), QStringList({"SECTION12", "Sectionx"}));
    EXPECT_EQ(edit("Edit1")->text(), "art.nfo");
    EXPECT_EQ(edit("EName")->text(), "Cracker");
    EXPECT_EQ(edit("EDefault")->text(), "nobody");
    EXPECT_EQ(edit("ELine")->text(), "26");
    EXPECT_EQ(edit("EStart")->text(), "1");
    EXPECT_EQ(edit("ELength")->text(), "999");  // 4464 is beyond the up-down's range
    EXPECT_EQ(form->sections()[0].Width, 4464); // shown clamped, stored as read
    EXPECT_TRUE(button("CCaps")->isChecked());
    EXPECT_TRUE(button("CDiz")->isChecked());
    EXPECT_EQ(find<TRadioGroup>(form, "RStyle")->itemIndex(), 1);
    EXPECT_EQ(find<TRadioGroup>(form, "RAlignment")->itemIndex(), 2);

    list()->setCurrentRow(1);
    EXPECT_EQ(edit("EName")->text(), "Size");
    EXPECT_EQ(edit("ELine")->text(), "1");
    EXPECT_EQ(find<TRadioGroup>(form, "RAlignment")->itemIndex(), -1); // an alignment code the group has no item for
}

TEST_F(SectionCreator, AddInsertsAfterTheSelectedEntryOrAtTheTop)
{
    struct Row {
        int selected;
        int expectedPosition;
        QStringList expectedLabels;
    };
    const Row rows[] = {
        {0, 1, {"Section 1", "Section 4", "Section 2", "Section 3"}},
        {2, 3, {"Section 1", "Section 2", "Section 3", "Section 4"}},
        {-1, 0, {"Section 4", "Section 1", "Section 2", "Section 3"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selected);
        open(storeText({{"A", 5}, {"B", 6}, {"C", 7}}));
        show();
        if (row.selected < 0)
            list()->clearSelection();
        else
            list()->setCurrentRow(row.selected);
        QTest::mouseClick(button("BitBtn3"), Qt::LeftButton);
        EXPECT_EQ(labels(list()), row.expectedLabels);
        EXPECT_EQ(form->selectedIndex(), row.expectedPosition);
        EXPECT_TRUE(list()->hasFocus());
        ASSERT_EQ(form->sections().size(), 4u);
        const pkm::TParam& added = form->sections()[static_cast<std::size_t>(row.expectedPosition)];
        EXPECT_EQ(added.Name, "Default name");
        EXPECT_EQ(added.Line, 1);
        EXPECT_EQ(edit("EName")->text(), "Default name");
        EXPECT_EQ(edit("ELine")->text(), "1");
        EXPECT_EQ(find<TRadioGroup>(form, "RStyle")->itemIndex(), 0);
        EXPECT_EQ(find<TRadioGroup>(form, "RAlignment")->itemIndex(), 0);
        EXPECT_FALSE(button("CDiz")->isChecked());
        form.reset();
    }
}

TEST_F(SectionCreator, DeleteSelectsTheNextOrTheNewLastEntry)
{
    open(storeText({{"A"}, {"B"}, {"C"}}));
    list()->setCurrentRow(2);
    QTest::mouseClick(button("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(labels(list()), QStringList({"Section 1", "Section 2"}));
    EXPECT_EQ(names(form->sections()), std::vector<std::string>({"A", "B"}));
    EXPECT_EQ(form->selectedIndex(), 1);
    EXPECT_EQ(edit("EName")->text(), "B");

    list()->setCurrentRow(0);
    QTest::mouseClick(button("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(names(form->sections()), std::vector<std::string>({"B"}));
    EXPECT_EQ(form->selectedIndex(), 0);
    EXPECT_EQ(edit("EName")->text(), "B");

    // The only entry: the fields empty, nothing selected; a further click does nothing.
    QTest::mouseClick(button("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(list()->count(), 0);
    EXPECT_TRUE(form->sections().empty());
    EXPECT_EQ(form->selectedIndex(), -1);
    EXPECT_TRUE(edit("EName")->text().isEmpty());
    EXPECT_TRUE(edit("ELine")->text().isEmpty());
    EXPECT_EQ(find<TRadioGroup>(form, "RStyle")->itemIndex(), -1);
    QTest::mouseClick(button("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(list()->count(), 0);
}

TEST_F(SectionCreator, LeavingAChangedFieldCommitsIt)
{
    open(storeText({{"Title", 12}}));
    show();
    struct Row {
        QLineEdit* field;
        QString typed;
        QString shownAfter;
        std::string name;
        int line, start, width;
    };
    const Row rows[] = {
        {edit("EName"), "Release", "Release", "Release", 12, 1, 1},
        {edit("EName"), "", "Default name", "Default name", 12, 1, 1},
        {edit("ELine"), "7", "7", "Default name", 7, 1, 1},
        {edit("ELine"), "0", "1", "Default name", 1, 1, 1},
        {edit("ELine"), "00", "1", "Default name", 1, 1, 1},
        {edit("EStart"), "999", "999", "Default name", 1, 999, 1},
        {edit("ELength"), "040", "040", "Default name", 1, 999, 40},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.field->objectName().toStdString() + " <- " + row.typed.toStdString());
        typeAndLeave(row.field, row.typed);
        EXPECT_EQ(row.field->text(), row.shownAfter);
        EXPECT_FALSE(row.field->isModified());
        const pkm::TParam& r = form->sections()[0];
        EXPECT_EQ(r.Name, row.name);
        EXPECT_EQ(r.Line, row.line);
        EXPECT_EQ(r.Start, row.start);
        EXPECT_EQ(r.Width, row.width);
    }
    typeAndLeave(edit("EDefault"), "Group 2024");
    EXPECT_EQ(form->sections()[0].Value, "Group 2024");
    EXPECT_TRUE(dialogs.messages.empty());

    // A field entered and left without a change commits nothing: the record keeps its value
    // although the field was refilled differently behind the user's back.
    edit("ELine")->setText("33");
    edit("ELine")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(edit("ELine"), Qt::Key_Tab);
    EXPECT_EQ(form->sections()[0].Line, 1);
}

TEST_F(SectionCreator, AnEmptiedPositionFieldIsRefusedAndKeepsTheStoredValue)
{
    open(storeText({{"Title", 12}}));
    show();
    for (QLineEdit* field : {edit("ELine"), edit("EStart"), edit("ELength")}) {
        SCOPED_TRACE(field->objectName().toStdString());
        dialogs.messages.clear();
        const pkm::TParam before = form->sections()[0];
        typeAndLeave(field, "");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, "Input error");
        EXPECT_EQ(dialogs.messages[0].text, "Numeric values only!");
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(field->hasFocus());
        const pkm::TParam& after = form->sections()[0];
        EXPECT_EQ(after.Line, before.Line);
        EXPECT_EQ(after.Start, before.Start);
        EXPECT_EQ(after.Width, before.Width);
        // Pasted text that is no number is refused the same way.
        dialogs.messages.clear();
        field->setText("1-");
        field->setModified(true);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Tab);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
        EXPECT_TRUE(field->hasFocus());
        EXPECT_EQ(field->selectedText(), "1-");
        EXPECT_EQ(form->sections()[0].Line, before.Line);
        field->setText("5");
    }
}

TEST_F(SectionCreator, PositionFieldsTakeDigitsOnlyAndDiscardBackspace)
{
    open(storeText({{"Title"}}));
    show();
    for (QLineEdit* field : {edit("ELine"), edit("EStart"), edit("ELength")}) {
        SCOPED_TRACE(field->objectName().toStdString());
        field->setFocus();
        field->clear();
        QTest::keyClicks(field, "a1 -b2x");
        EXPECT_EQ(field->text(), "12");
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(field->text(), "12");
        QTest::keyClicks(field, "34");
        EXPECT_EQ(field->text(), "123"); // at most three characters
        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClick(field, Qt::Key_Delete); // a key that types nothing still works
        EXPECT_EQ(field->text(), "23");
    }
}

TEST_F(SectionCreator, StyleAlignmentCapsAndDizNeedASection)
{
    open(std::string());
    show();
    QTest::mouseClick(find<TRadioGroup>(form, "RStyle")->button(1), Qt::LeftButton);
    QTest::mouseClick(find<TRadioGroup>(form, "RAlignment")->button(2), Qt::LeftButton);
    QTest::mouseClick(button("CCaps"), Qt::LeftButton);
    QTest::mouseClick(button("CDiz"), Qt::LeftButton);
    EXPECT_EQ(find<TRadioGroup>(form, "RStyle")->itemIndex(), -1);
    EXPECT_EQ(find<TRadioGroup>(form, "RAlignment")->itemIndex(), -1);
    EXPECT_FALSE(button("CCaps")->isChecked());
    EXPECT_FALSE(button("CDiz")->isChecked());

    // With a section they take effect at once.
    QTest::mouseClick(button("BitBtn3"), Qt::LeftButton);
    QTest::mouseClick(find<TRadioGroup>(form, "RStyle")->button(1), Qt::LeftButton);
    QTest::mouseClick(find<TRadioGroup>(form, "RAlignment")->button(1), Qt::LeftButton);
    QTest::mouseClick(button("CCaps"), Qt::LeftButton);
    QTest::mouseClick(button("CDiz"), Qt::LeftButton);
    const pkm::TParam& r = form->sections()[0];
    EXPECT_TRUE(r.Style);
    EXPECT_EQ(r.Alignment, 1);
    EXPECT_TRUE(r.Caps);
    EXPECT_TRUE(r.Diz);
    QTest::mouseClick(button("CDiz"), Qt::LeftButton);
    QTest::mouseClick(find<TRadioGroup>(form, "RStyle")->button(0), Qt::LeftButton);
    EXPECT_FALSE(r.Diz);
    EXPECT_FALSE(r.Style);
}

TEST_F(SectionCreator, DraggingTheFirstOfFourOntoTheFourthMovesItLast)
{
    open(storeText({{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}}));
    show();
    QWidget* viewport = list()->viewport();
    const QPoint over3 = rowCenter(3);
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCenter(0));
    EXPECT_EQ(form->dragOverIndex(), 0);
    // Below the drag threshold the press is still a click and nothing is dragged.
    QTest::mouseMove(viewport, rowCenter(0) + QPoint(1, 0));
    EXPECT_EQ(list()->feedbackRow(), -1);
    EXPECT_EQ(form->selectedIndex(), 0);

    const QImage before = viewport->grab().toImage();
    QTest::mouseMove(viewport, over3);
    EXPECT_EQ(form->dragOverIndex(), 3);
    EXPECT_EQ(list()->feedbackRow(), 3);
    EXPECT_EQ(form->selectedIndex(), 0); // the selection does not follow the pointer
    // The feedback rectangle changes the pixels of the entry under the pointer.
    const QImage during = viewport->grab().toImage();
    const QRect r = list()->visualItemRect(list()->item(3));
    int changed = 0;
    for (int x = r.left(); x <= r.right(); ++x)
        changed += before.pixel(x, r.top()) != during.pixel(x, r.top());
    EXPECT_GT(changed, r.width() / 3);

    QTest::mouseRelease(viewport, Qt::LeftButton, {}, over3);
    EXPECT_EQ(labels(list()), QStringList({"Section 2", "Section 3", "Section 4", "Section 1"}));
    EXPECT_EQ(names(form->sections()), std::vector<std::string>({"B", "C", "D", "A"}));
    EXPECT_EQ(form->selectedIndex(), 3);
    EXPECT_EQ(edit("EName")->text(), "A");
    EXPECT_EQ(list()->feedbackRow(), -1);

    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    const pkm::TemplateStore store = saved();
    EXPECT_EQ(store.labels, std::vector<std::string>({"Section 1", "Section 2", "Section 3", "Section 4"}));
    EXPECT_EQ(names(store.records), std::vector<std::string>({"B", "C", "D", "A"}));
    EXPECT_EQ(store.records[3].Line, 1);
}

TEST_F(SectionCreator, ClicksBesideTheEntriesOrWithCtrlKeepOneSelectedAndEditsLand)
{
    open(storeText({{"A"}, {"B"}, {"C"}}));
    show();
    QWidget* viewport = list()->viewport();
    const QPoint empty(20, viewport->height() - 5);
    ASSERT_EQ(list()->itemAtPos(empty), -1);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCenter(1));
    ASSERT_EQ(form->selectedIndex(), 1);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, empty);
    EXPECT_EQ(form->selectedIndex(), 1);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowCenter(1));
    EXPECT_EQ(form->selectedIndex(), 1);
    EXPECT_EQ(edit("EName")->text(), "B");
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowCenter(2));
    EXPECT_EQ(form->selectedIndex(), 2);

    typeAndLeave(edit("EName"), "Renamed");
    EXPECT_EQ(names(form->sections()), std::vector<std::string>({"A", "B", "Renamed"}));
}

TEST_F(SectionCreator, DropsOnTheEmptyAreaAndPlainClicksChangeNothing)
{
    open(storeText({{"A"}, {"B"}, {"C"}, {"D"}}));
    show();
    QWidget* viewport = list()->viewport();
    const QPoint empty(20, viewport->height() - 5);
    ASSERT_EQ(list()->itemAtPos(empty), -1);

    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCenter(1));
    QTest::mouseMove(viewport, rowCenter(3));
    QTest::mouseMove(viewport, empty);
    EXPECT_EQ(form->dragOverIndex(), -1);
    EXPECT_EQ(list()->feedbackRow(), -1);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, empty);
    EXPECT_EQ(names(form->sections()), std::vector<std::string>({"A", "B", "C", "D"}));
    EXPECT_EQ(form->selectedIndex(), 1);

    // A press on the empty area starts no drag.
    QTest::mousePress(viewport, Qt::LeftButton, {}, empty);
    QTest::mouseMove(viewport, rowCenter(0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCenter(0));
    EXPECT_EQ(names(form->sections()), std::vector<std::string>({"A", "B", "C", "D"}));

    // Escape abandons a drag and leaves the dialog open.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCenter(2));
    QTest::mouseMove(viewport, rowCenter(0));
    QTest::keyClick(list(), Qt::Key_Escape);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCenter(0));
    EXPECT_EQ(names(form->sections()), std::vector<std::string>({"A", "B", "C", "D"}));
    EXPECT_TRUE(form->isVisible());

    // A plain click selects.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCenter(3));
    EXPECT_EQ(form->selectedIndex(), 3);
    EXPECT_EQ(edit("EName")->text(), "D");
    EXPECT_EQ(names(form->sections()), std::vector<std::string>({"A", "B", "C", "D"}));
}

TEST_F(SectionCreator, FileNamesThatAreNotUtf8SurviveOkUntouched)
{
    // Latin-1 names, as a store written on another system may hold.
    const std::string original = storeText({{"Caf\x82"}}, "cl\xE9.nfo", "clone.diz", "/tmp/\xE9t\xE9");
    open(original);
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    const pkm::TemplateStore store = saved();
    EXPECT_EQ(store.settings.NfoClone, "cl\xE9.nfo");
    EXPECT_EQ(store.settings.OutputDir, "/tmp/\xE9t\xE9");
    EXPECT_EQ(names(store.records), std::vector<std::string>({"Caf\x82"}));
}

TEST_F(SectionCreator, OkSavesRecordsAndSettingsCancelWritesNothing)
{
    const std::string original = storeText({{"Title", 12}});
    // Two settings changed and a section added, then the dialog closed with `closer`.
    const auto editAndClose = [&](const char* closer) {
        open(original);
        edit("Edit2")->setText("new.nfo");
        edit("Edit5")->setText("/srv/releases");
        QTest::mouseClick(button("BitBtn3"), Qt::LeftButton);
        QTest::mouseClick(button(closer), Qt::LeftButton);
    };
    editAndClose("Button2");
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(dir.read("Release.ini"), original);

    editAndClose("Button1");
    EXPECT_EQ(form->result(), QDialog::Accepted);
    const pkm::TemplateStore store = saved();
    EXPECT_EQ(names(store.records), std::vector<std::string>({"Title", "Default name"}));
    EXPECT_EQ(store.settings.NfoOutput, "new.nfo");
    EXPECT_EQ(store.settings.OutputDir, "/srv/releases");
    EXPECT_EQ(store.settings.NfoClone, "clone.nfo");
}

TEST_F(SectionCreator, AFailedSaveIsReportedAndTheDialogStillClosesWithOk)
{
    const std::string original = storeText({{"Title"}});
    open(original);
    QTest::mouseClick(button("BitBtn3"), Qt::LeftButton);
    FaultyFileWriter faults;
    faults.failAfterBytes = 0;
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromStdString("Unable to write to " + dir.iniPath()));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(dir.read("Release.ini"), original);
}

TEST_F(SectionCreator, OkAsksBeforeReplacingWhatAnotherWindowSavedMeanwhile)
{
    open(storeText({{"Title"}}));
    // A second window on the same file saves first.
    auto other = std::make_unique<TForm2>(dir.paths());
    find<QLineEdit>(other, "Edit2")->setText(QStringLiteral("theirs.nfo"));
    QTest::mouseClick(find<QPushButton>(other, "Button1"), Qt::LeftButton);
    ASSERT_EQ(other->result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs.questions.empty()) << "nothing had changed under the first save";
    const std::string theirs = dir.read("Release.ini");
    EXPECT_EQ(saved().settings.NfoOutput, "theirs.nfo");

    show();
    edit("Edit2")->setText(QStringLiteral("mine.nfo"));
    QTest::mouseClick(button("BitBtn3"), Qt::LeftButton);
    // No: nothing is written, and the dialog stays open with the edits.
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].caption, QStringLiteral("Release.ini changed"));
    EXPECT_EQ(dialogs.questions[0].text,
              QStringLiteral("Release.ini was changed since this dialog read it.\r"
                             "Replace it with the sections shown here?"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_NE(form->result(), QDialog::Accepted);
    EXPECT_EQ(dir.read("Release.ini"), theirs);
    EXPECT_EQ(edit("Edit2")->text(), QStringLiteral("mine.nfo"));
    EXPECT_EQ(list()->count(), 2);
    EXPECT_TRUE(dialogs.messages.empty());

    // Asked again on the next OK; Yes replaces it.
    dialogs.yesNoAnswers.push_back(true);
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(saved().settings.NfoOutput, "mine.nfo");
    EXPECT_EQ(saved().records.size(), 2u);
}

TEST_F(SectionCreator, BrowseStartsAtTheOutputDirOrTheProgramDirectory)
{
    open(std::string());
    dialogs.folderAnswers.push_back(QStringLiteral("/srv/out"));
    QTest::mouseClick(button("BitBtn1"), Qt::LeftButton);
    ASSERT_EQ(dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(dialogs.folderRequests[0].selection, QString::fromStdString(dir.path()));
    EXPECT_EQ(dialogs.folderRequests[0].title, "Pakmaster.");
    EXPECT_EQ(dialogs.folderRequests[0].statusText, "Please choose a directory.");
    EXPECT_EQ(edit("Edit5")->text(), "/srv/out");

    edit("Edit5")->setText("/data/games/");
    dialogs.folderAnswers.push_back(std::nullopt);
    QTest::mouseClick(button("BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(dialogs.folderRequests[1].selection, "/data/games");
    EXPECT_EQ(edit("Edit5")->text(), "/data/games/");
}

TEST_F(SectionCreator, TheOutputDirBoxTakesAFolderDroppedOnItAndRefusesAFile)
{
    open(std::string());
    edit("Edit5")->setText("/srv/out");
    const std::string file = dir.write("notes.txt", "x");
    EXPECT_FALSE(dropOn(edit("Edit5"), *fileUrls({file})).entered);
    EXPECT_EQ(edit("Edit5")->text(), "/srv/out");
    EXPECT_TRUE(dropOn(edit("Edit5"), *fileUrls({dir.path()})).dropped);
    EXPECT_EQ(edit("Edit5")->text(), QString::fromStdString(dir.path()));
}

// ---------------------------------------------------------------------------------------------
// The section helper

namespace {

// Fifteen lines of 60 characters: "12345678901234567890..." so that columns are visible.
std::string cloneText()
{
    std::string text;
    for (int line = 1; line <= 15; ++line) {
        std::string l;
        for (int c = 0; c < 60; ++c)
            l += static_cast<char>('a' + (line + c) % 26);
        text += l + "\r\n";
    }
    return text;
}

} // namespace

class SectionHelper : public SectionCreator {
protected:
    void SetUp() override
    {
        dir.write("clone.nfo", cloneText());
        dir.write("clone.diz", "diz\r\n");
        open(storeText({{"Title", 12}}));
        show();
    }

    TForm3* openHelper(const char* helperButton)
    {
        QTest::mouseClick(button(helperButton), Qt::LeftButton);
        return form->helper();
    }
};

TEST_F(SectionHelper, OpensNonModallyWithTheReadOutAndNoCancelButton)
{
    TForm3* helper = openHelper("BitBtn5");
    ASSERT_NE(helper, nullptr);
    EXPECT_TRUE(helper->isVisible());
    EXPECT_FALSE(helper->isModal());
    EXPECT_EQ(helper->parent(), form.get());
    EXPECT_EQ(helper->helperFileName(), "clone.nfo");
    EXPECT_FALSE(find<QPushButton>(helper, "Button2")->isVisible());
    EXPECT_TRUE(find<QTextEdit>(helper, "Memo1")->isReadOnly());
    const QPushButton* ok = find<QPushButton>(helper, "Button1");
    EXPECT_EQ(ok->x(), (helper->width() - ok->width()) / 2);
    EXPECT_GT(helper->maximumWidth(), helper->minimumWidth()); // sizeable
    EXPECT_TRUE(QTest::qWaitFor([&] { return helper->windowTitle() == "clone.nfo [L: 1 - S: 1 - W: 0]"; }))
        << helper->windowTitle().toStdString();

    // Characters 20 to 59 of line 12 selected.
    QTextCursor cursor(find<QTextEdit>(helper, "Memo1")->document()->findBlockByNumber(11));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 19);
    cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 40);
    find<QTextEdit>(helper, "Memo1")->setTextCursor(cursor);
    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Shift);
    EXPECT_TRUE(QTest::qWaitFor([&] { return helper->windowTitle() == "clone.nfo [L: 12 - S: 20 - W: 40]"; }))
        << helper->windowTitle().toStdString();

    // The dialog stays usable beside it.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    typeAndLeave(edit("ELine"), "13");
    EXPECT_EQ(form->sections()[0].Line, 13);
    EXPECT_TRUE(helper->isVisible());
}

TEST_F(SectionHelper, OnlyOneHelperAtATimeAndAnEmptyNameDoesNothing)
{
    TForm3* helper = openHelper("BitBtn5");
    ASSERT_NE(helper, nullptr);
    QTest::mouseClick(button("BitBtn6"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Section helper");
    EXPECT_EQ(dialogs.messages[0].text, "One helper is already open!");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(form->helper(), helper);
    EXPECT_EQ(helper->helperFileName(), "clone.nfo");
    EXPECT_EQ(form->findChildren<TForm3*>().size(), 1);

    edit("Edit3")->clear();
    dialogs.messages.clear();
    QTest::mouseClick(button("BitBtn6"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->helper(), helper);
}

TEST_F(SectionHelper, ClosingByOkOrCloseBoxAllowsANewHelper)
{
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "OK button" : "close box");
        QPointer<TForm3> helper = openHelper(way == 0 ? "BitBtn5" : "BitBtn6");
        ASSERT_FALSE(helper.isNull());
        if (way == 0)
            QTest::mouseClick(find<QPushButton>(helper, "Button1"), Qt::LeftButton);
        else
            helper->close();
        ASSERT_TRUE(QTest::qWaitFor([&] { return helper.isNull(); }));
        EXPECT_EQ(form->helper(), nullptr);
    }
    EXPECT_NE(openHelper("BitBtn6"), nullptr);
    EXPECT_EQ(form->helper()->helperFileName(), "clone.diz");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SectionHelper, EscapeDoesNotHideTheHelper)
{
    TForm3* helper = openHelper("BitBtn5");
    ASSERT_NE(helper, nullptr);
    helper->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(helper));
    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Escape);
    EXPECT_TRUE(helper->isVisible());
    EXPECT_EQ(form->helper(), helper);
}

TEST_F(SectionHelper, KeysMoveTheCaretForTheReadOutAndReturnLeavesTheHelperOpen)
{
    TForm3* helper = openHelper("BitBtn5");
    ASSERT_NE(helper, nullptr);
    helper->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(helper));
    find<QTextEdit>(helper, "Memo1")->setFocus();
    const QString text = find<QTextEdit>(helper, "Memo1")->toPlainText();
    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Down);
    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Down);
    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Right);
    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return helper->windowTitle() == "clone.nfo [L: 3 - S: 2 - W: 2]"; }))
        << helper->windowTitle().toStdString();

    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Return);
    QTest::keyClick(find<QTextEdit>(helper, "Memo1"), Qt::Key_Enter);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->helper(), helper);
    EXPECT_TRUE(helper->isVisible());
    EXPECT_EQ(find<QTextEdit>(helper, "Memo1")->toPlainText(), text);
}

TEST_F(SectionHelper, TheDialogsOkAndCancelCloseTheHelper)
{
    for (const char* name : {"Button2", "Button1"}) {
        SCOPED_TRACE(name);
        if (!form->isVisible())
            show();
        QPointer<TForm3> helper = openHelper("BitBtn5");
        ASSERT_FALSE(helper.isNull());
        QTest::mouseClick(button(name), Qt::LeftButton);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(form->helper(), nullptr);
        EXPECT_TRUE(helper.isNull() || !helper->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return helper.isNull(); }));
    }
}

TEST_F(SectionHelper, ATemplateThatCannotBeOpenedIsReportedAndLeavesNoHelper)
{
    // A FIFO would wait for a writer for ever: it is not opened at all.
    ASSERT_EQ(::mkfifo(dir.file("fifo.nfo").c_str(), 0644), 0);
    for (const std::string name : {"missing.nfo", "fifo.nfo"}) {
        SCOPED_TRACE(name);
        dialogs.messages.clear();
        edit("Edit1")->setText(QString::fromStdString(name));
        QTest::mouseClick(button("BitBtn5"), Qt::LeftButton);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QString::fromStdString("Cannot open file " + dir.file(name)));
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(form->helper(), nullptr);
        EXPECT_TRUE(form->findChildren<TForm3*>().isEmpty());
    }

    // The next helper button works at once.
    dialogs.messages.clear();
    TForm3* helper = openHelper("BitBtn6");
    ASSERT_NE(helper, nullptr);
    EXPECT_TRUE(helper->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
}

// ---------------------------------------------------------------------------------------------
// Changes the user sees are never dropped by OK

TEST_F(SectionCreator, ArrowStepsAreCommittedAtOnce)
{
    open(storeText({{"Title", 12}}));
    show();
    // The arrows never take the focus: the list keeps it while they are clicked.
    auto* up = find<TUpDown>(form, "UpDown1")->findChild<QToolButton*>("up");
    ASSERT_NE(up, nullptr);
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_TRUE(list()->hasFocus());
    EXPECT_EQ(edit("ELine")->text(), "14");
    EXPECT_EQ(form->sections()[0].Line, 14);

    // The arrow keys in a field step and commit as well.
    edit("EStart")->setFocus();
    QTest::keyClick(edit("EStart"), Qt::Key_Up);
    QTest::keyClick(edit("EStart"), Qt::Key_Up);
    EXPECT_EQ(form->sections()[0].Start, 3);

    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    const pkm::TemplateStore store = saved();
    ASSERT_EQ(store.records.size(), 1u);
    EXPECT_EQ(store.records[0].Line, 14);
    EXPECT_EQ(store.records[0].Start, 3);
}

TEST_F(SectionCreator, ReturnCommitsTheFieldBeingEditedBeforeSaving)
{
    struct Row {
        const char* field;
        QString typed;
        std::string name;
        int width;
    };
    const Row rows[] = {
        {"EName", "Release", "Release", 1},
        {"EName", "", "Default name", 1},
        {"ELength", "35", "Title", 35},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        open(storeText({{"Title", 12}}));
        show();
        QLineEdit* field = edit(row.field);
        empty(field);
        QTest::keyClicks(field, row.typed);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(form->result(), QDialog::Accepted);
        const pkm::TemplateStore store = saved();
        ASSERT_EQ(store.records.size(), 1u);
        EXPECT_EQ(store.records[0].Name, row.name);
        EXPECT_EQ(store.records[0].Width, row.width);
        form.reset();
    }

    // A field that fails its check keeps the dialog open with the message.
    const std::string original = storeText({{"Title", 12}});
    open(original);
    show();
    empty(edit("ELine"));
    QTest::keyClick(edit("ELine"), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    EXPECT_EQ(dialogs.messages[0].text, "Numeric values only!");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(edit("ELine")->hasFocus());
    EXPECT_EQ(dir.read("Release.ini"), original);
    // Fixed, Return closes it.
    QTest::keyClicks(edit("ELine"), "8");
    QTest::keyClick(edit("ELine"), Qt::Key_Return);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(saved().records[0].Line, 8);
}

TEST_F(SectionCreator, ClickingOkWhileLeavingAFieldThatFailsKeepsTheDialogOpen)
{
    const std::string original = storeText({{"Title", 12}});
    open(original);
    show();
    empty(edit("ELine"));
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(edit("ELine")->hasFocus());
    EXPECT_EQ(dir.read("Release.ini"), original);
}
