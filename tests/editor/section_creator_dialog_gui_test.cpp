#include "editor/SectionCreatorDialog.h"

#include "app/FolderPicker.h"
#include "editor/SectionListBox.h"
#include "editor/TextWindow.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/UpDown.h"
#include "platform/file_io.h"
#include "platform/widgets/TextCodec.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "templates/template_store.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
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
#include <vector>

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

    // Gives a field the focus as Tab would, puts the text in, and leaves it with Tab.
    void typeAndLeave(QLineEdit* field, const QString& text)
    {
        field->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }));
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    QPoint rowCenter(int row) const
    {
        return form->ListBox1->visualItemRect(form->ListBox1->item(row)).center();
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
        {"ListBox1", {10, 33, 121, 161}}, {"BitBtn3", {83, 7, 24, 24}},    {"BitBtn2", {107, 7, 24, 24}},
        {"EName", {222, 10, 121, 21}},    {"EDefault", {222, 40, 121, 21}}, {"ELine", {158, 70, 28, 21}},
        {"EStart", {227, 70, 28, 21}},    {"ELength", {298, 70, 28, 21}},   {"RStyle", {142, 100, 94, 71}},
        {"RAlignment", {249, 100, 94, 71}}, {"Edit1", {445, 10, 96, 21}},   {"BitBtn5", {542, 8, 24, 24}},
        {"Edit2", {445, 40, 121, 21}},    {"Edit3", {445, 70, 96, 21}},     {"BitBtn6", {542, 68, 24, 24}},
        {"Edit4", {445, 100, 121, 21}},   {"Edit5", {445, 130, 96, 21}},    {"BitBtn1", {542, 128, 24, 24}},
        {"Button1", {406, 173, 75, 25}},  {"Button2", {491, 173, 75, 25}},
    };
    for (const Row& row : rows) {
        auto* w = form->findChild<QWidget*>(QLatin1String(row.name));
        ASSERT_NE(w, nullptr) << row.name;
        EXPECT_EQ(w->geometry(), row.geometry) << row.name;
    }
    EXPECT_EQ(form->CCaps->pos(), QPoint(142, 177));
    EXPECT_EQ(form->CDiz->pos(), QPoint(249, 177));
    EXPECT_EQ(form->Bevel1->geometry().left(), 353);
    EXPECT_EQ(form->Bevel1->height(), 184);

    EXPECT_EQ(form->BitBtn3->toolTip(), "Add section");
    EXPECT_EQ(form->BitBtn2->toolTip(), "Delete section");
    EXPECT_EQ(form->ELine->toolTip(), "Line");
    EXPECT_EQ(form->EStart->toolTip(), "Start");
    EXPECT_EQ(form->ELength->toolTip(), "Width");
    EXPECT_EQ(form->BitBtn5->toolTip(), "Section helper");
    EXPECT_EQ(form->BitBtn6->toolTip(), "Section helper");
    EXPECT_TRUE(form->BitBtn1->toolTip().isEmpty());
    EXPECT_FALSE(form->BitBtn3->icon().isNull());
    EXPECT_FALSE(form->BitBtn1->icon().isNull());
    EXPECT_TRUE(form->Button1->isDefault());
    EXPECT_EQ(form->RAlignment->button(0)->text(), "L&eft");
    EXPECT_EQ(form->RStyle->button(1)->text(), "&Memo");

    // Every label names its field, fits its text and ends before its field.
    const QStringList expectedLabels = {"Sec&tion(s):", "&Name:", "Default &value:", "&L:", "&S:", "&W:",
                                        "Nfo clone:", "Nfo output:", "Diz clone:", "Diz output:", "Output dir:"};
    QStringList seen;
    for (QLabel* label : form->findChildren<QLabel*>()) {
        seen << label->text();
        ASSERT_NE(label->buddy(), nullptr) << label->text().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        if (label->buddy() != form->ListBox1) {
            EXPECT_LT(label->geometry().right(), label->buddy()->geometry().left()) << label->text().toStdString();
        }
    }
    seen.sort();
    QStringList expectedSorted = expectedLabels;
    expectedSorted.sort();
    EXPECT_EQ(seen, expectedSorted);

    for (auto* ud : {form->UpDown1, form->UpDown2, form->UpDown3}) {
        EXPECT_EQ(ud->min(), 1);
        EXPECT_EQ(ud->max(), 999);
    }
    EXPECT_EQ(form->ELine->maxLength(), 3);

    show();
    EXPECT_TRUE(form->ListBox1->hasFocus());
    // Tab walks the controls in their order.
    const QStringList order = {"BitBtn3", "BitBtn2", "EName", "EDefault", "ELine", "EStart", "ELength"};
    for (const QString& name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
    }
    form->Edit5->setFocus();
    QTest::keyClick(form->Edit5, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->BitBtn1);
    QTest::keyClick(form->BitBtn1, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->Button1);
}

TEST_F(SectionCreator, AnEmptyStoreOpensEmptyAndOkWritesOnlyMain)
{
    open(std::string());
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_EQ(form->selectedIndex(), -1);
    for (QLineEdit* field : {form->EName, form->EDefault, form->ELine, form->EStart, form->ELength, form->Edit1,
                             form->Edit5})
        EXPECT_TRUE(field->text().isEmpty()) << field->objectName().toStdString();
    EXPECT_EQ(form->RStyle->itemIndex(), -1);
    EXPECT_EQ(form->RAlignment->itemIndex(), -1);
    EXPECT_FALSE(form->CCaps->isChecked());

    QTest::mouseClick(form->Button1, Qt::LeftButton);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(dir.read("Release.ini"),
              "[Main]\r\nNFO clone=\r\nNFO output=\r\nDIZ clone=\r\nDIZ output=\r\nOutput dir=\r\n");
}

TEST_F(SectionCreator, OpensWithTheFirstSectionShownAndAClickShowsAnother)
{
    open(storeText({{"Title", 12}, {"Group", 14}}, "clone.nfo", "clone.diz", "/srv/out"));
    EXPECT_EQ(labels(form->ListBox1), QStringList({"Section 1", "Section 2"}));
    EXPECT_EQ(form->SectionList.size(), 2u);
    EXPECT_EQ(form->selectedIndex(), 0);
    EXPECT_EQ(form->EName->text(), "Title");
    EXPECT_EQ(form->ELine->text(), "12");
    EXPECT_EQ(form->RStyle->itemIndex(), 0);
    EXPECT_EQ(form->RAlignment->itemIndex(), 0);
    EXPECT_EQ(form->Edit1->text(), "clone.nfo");
    EXPECT_EQ(form->Edit2->text(), "release.nfo");
    EXPECT_EQ(form->Edit3->text(), "clone.diz");
    EXPECT_EQ(form->Edit4->text(), "file_id.diz");
    EXPECT_EQ(form->Edit5->text(), "/srv/out");
    for (QLineEdit* field : {form->EName, form->EDefault, form->ELine})
        EXPECT_FALSE(field->isModified());

    show();
    QTest::mouseClick(form->ListBox1->viewport(), Qt::LeftButton, {}, rowCenter(1));
    EXPECT_EQ(form->selectedIndex(), 1);
    EXPECT_EQ(form->EName->text(), "Group");
    EXPECT_EQ(form->ELine->text(), "14");
}

TEST_F(SectionCreator, AHandEditedStoreLoadsItsRecordsWithTheirFileLabels)
{
    open("[main]\r\nnfo clone=art.nfo\r\n"
         "[Options]\r\nName=not a section\r\n"
         "[SECTION12]\r\nName=Cracker\r\nDefault=  nobody  \r\nLine=0x1A\r\nStart=abc\r\nWidth=70000\r\n"
         "Caps=2\r\nStyle=1\r\nAlignment=3\r\nDiz=1\r\n"
         "[Section 2]\r\nDefault=no name, skipped\r\n"
         "[Sectionx]\r\nName=Size\r\nLine=0\r\nAlignment=9\r\n");
    EXPECT_EQ(labels(form->ListBox1), QStringList({"SECTION12", "Sectionx"}));
    EXPECT_EQ(form->Edit1->text(), "art.nfo");
    EXPECT_EQ(form->EName->text(), "Cracker");
    EXPECT_EQ(form->EDefault->text(), "nobody");
    EXPECT_EQ(form->ELine->text(), "26");
    EXPECT_EQ(form->EStart->text(), "1");
    EXPECT_EQ(form->ELength->text(), "999"); // 4464 is beyond the up-down's range
    EXPECT_EQ(form->SectionList[0].Width, 4464); // shown clamped, stored as read
    EXPECT_TRUE(form->CCaps->isChecked());
    EXPECT_TRUE(form->CDiz->isChecked());
    EXPECT_EQ(form->RStyle->itemIndex(), 1);
    EXPECT_EQ(form->RAlignment->itemIndex(), 2);

    form->ListBox1->setCurrentRow(1);
    EXPECT_EQ(form->EName->text(), "Size");
    EXPECT_EQ(form->ELine->text(), "1");
    EXPECT_EQ(form->RAlignment->itemIndex(), -1); // an alignment code the group has no item for
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
            form->ListBox1->clearSelection();
        else
            form->ListBox1->setCurrentRow(row.selected);
        QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
        EXPECT_EQ(labels(form->ListBox1), row.expectedLabels);
        EXPECT_EQ(form->selectedIndex(), row.expectedPosition);
        EXPECT_TRUE(form->ListBox1->hasFocus());
        ASSERT_EQ(form->SectionList.size(), 4u);
        const pkm::TParam& added = form->SectionList[static_cast<std::size_t>(row.expectedPosition)];
        EXPECT_EQ(added.Name, "Default name");
        EXPECT_EQ(added.Line, 1);
        EXPECT_EQ(form->EName->text(), "Default name");
        EXPECT_EQ(form->ELine->text(), "1");
        EXPECT_EQ(form->RStyle->itemIndex(), 0);
        EXPECT_EQ(form->RAlignment->itemIndex(), 0);
        EXPECT_FALSE(form->CDiz->isChecked());
        form.reset();
    }
}

TEST_F(SectionCreator, DeleteSelectsTheNextOrTheNewLastEntry)
{
    open(storeText({{"A"}, {"B"}, {"C"}}));
    form->ListBox1->setCurrentRow(2);
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_EQ(labels(form->ListBox1), QStringList({"Section 1", "Section 2"}));
    EXPECT_EQ(names(form->SectionList), std::vector<std::string>({"A", "B"}));
    EXPECT_EQ(form->selectedIndex(), 1);
    EXPECT_EQ(form->EName->text(), "B");

    form->ListBox1->setCurrentRow(0);
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_EQ(names(form->SectionList), std::vector<std::string>({"B"}));
    EXPECT_EQ(form->selectedIndex(), 0);
    EXPECT_EQ(form->EName->text(), "B");

    // The only entry: the fields empty, nothing selected; a further click does nothing.
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_TRUE(form->SectionList.empty());
    EXPECT_EQ(form->selectedIndex(), -1);
    EXPECT_TRUE(form->EName->text().isEmpty());
    EXPECT_TRUE(form->ELine->text().isEmpty());
    EXPECT_EQ(form->RStyle->itemIndex(), -1);
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_EQ(form->ListBox1->count(), 0);
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
        {form->EName, "Release", "Release", "Release", 12, 1, 1},
        {form->EName, "", "Default name", "Default name", 12, 1, 1},
        {form->ELine, "7", "7", "Default name", 7, 1, 1},
        {form->ELine, "0", "1", "Default name", 1, 1, 1},
        {form->ELine, "00", "1", "Default name", 1, 1, 1},
        {form->EStart, "999", "999", "Default name", 1, 999, 1},
        {form->ELength, "040", "040", "Default name", 1, 999, 40},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.field->objectName().toStdString() + " <- " + row.typed.toStdString());
        typeAndLeave(row.field, row.typed);
        EXPECT_EQ(row.field->text(), row.shownAfter);
        EXPECT_FALSE(row.field->isModified());
        const pkm::TParam& r = form->SectionList[0];
        EXPECT_EQ(r.Name, row.name);
        EXPECT_EQ(r.Line, row.line);
        EXPECT_EQ(r.Start, row.start);
        EXPECT_EQ(r.Width, row.width);
    }
    typeAndLeave(form->EDefault, "Group 2024");
    EXPECT_EQ(form->SectionList[0].Value, "Group 2024");
    EXPECT_TRUE(dialogs.messages.empty());

    // A field entered and left without a change commits nothing: the record keeps its value
    // although the field was refilled differently behind the user's back.
    form->SectionList[0].Line = 33;
    form->ELine->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->ELine, Qt::Key_Tab);
    EXPECT_EQ(form->SectionList[0].Line, 33);
}

TEST_F(SectionCreator, AnEmptiedPositionFieldIsRefusedAndKeepsTheStoredValue)
{
    open(storeText({{"Title", 12}}));
    show();
    for (QLineEdit* field : {form->ELine, form->EStart, form->ELength}) {
        SCOPED_TRACE(field->objectName().toStdString());
        dialogs.messages.clear();
        const pkm::TParam before = form->SectionList[0];
        typeAndLeave(field, "");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, "Input error");
        EXPECT_EQ(dialogs.messages[0].text, "Numeric values only!");
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(field->hasFocus());
        const pkm::TParam& after = form->SectionList[0];
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
        EXPECT_EQ(form->SectionList[0].Line, before.Line);
        field->setText("5");
    }
}

TEST_F(SectionCreator, PositionFieldsTakeDigitsOnlyAndDiscardBackspace)
{
    open(storeText({{"Title"}}));
    show();
    for (QLineEdit* field : {form->ELine, form->EStart, form->ELength}) {
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
    QTest::mouseClick(form->RStyle->button(1), Qt::LeftButton);
    QTest::mouseClick(form->RAlignment->button(2), Qt::LeftButton);
    QTest::mouseClick(form->CCaps, Qt::LeftButton);
    QTest::mouseClick(form->CDiz, Qt::LeftButton);
    EXPECT_EQ(form->RStyle->itemIndex(), -1);
    EXPECT_EQ(form->RAlignment->itemIndex(), -1);
    EXPECT_FALSE(form->CCaps->isChecked());
    EXPECT_FALSE(form->CDiz->isChecked());

    // With a section they take effect at once.
    QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
    QTest::mouseClick(form->RStyle->button(1), Qt::LeftButton);
    QTest::mouseClick(form->RAlignment->button(1), Qt::LeftButton);
    QTest::mouseClick(form->CCaps, Qt::LeftButton);
    QTest::mouseClick(form->CDiz, Qt::LeftButton);
    const pkm::TParam& r = form->SectionList[0];
    EXPECT_TRUE(r.Style);
    EXPECT_EQ(r.Alignment, 1);
    EXPECT_TRUE(r.Caps);
    EXPECT_TRUE(r.Diz);
    QTest::mouseClick(form->CDiz, Qt::LeftButton);
    QTest::mouseClick(form->RStyle->button(0), Qt::LeftButton);
    EXPECT_FALSE(r.Diz);
    EXPECT_FALSE(r.Style);
}

TEST_F(SectionCreator, DraggingTheFirstOfFourOntoTheFourthMovesItLast)
{
    open(storeText({{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}}));
    show();
    QWidget* viewport = form->ListBox1->viewport();
    const QPoint over3 = rowCenter(3);
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCenter(0));
    EXPECT_EQ(form->DragOverIndex, 0);
    // Below the drag threshold the press is still a click and nothing is dragged.
    QTest::mouseMove(viewport, rowCenter(0) + QPoint(1, 0));
    EXPECT_EQ(form->ListBox1->feedbackRow(), -1);
    EXPECT_EQ(form->selectedIndex(), 0);

    const QImage before = viewport->grab().toImage();
    QTest::mouseMove(viewport, over3);
    EXPECT_EQ(form->DragOverIndex, 3);
    EXPECT_EQ(form->ListBox1->feedbackRow(), 3);
    EXPECT_EQ(form->selectedIndex(), 0); // the selection does not follow the pointer
    // The feedback rectangle changes the pixels of the entry under the pointer.
    const QImage during = viewport->grab().toImage();
    const QRect r = form->ListBox1->visualItemRect(form->ListBox1->item(3));
    int changed = 0;
    for (int x = r.left(); x <= r.right(); ++x)
        changed += before.pixel(x, r.top()) != during.pixel(x, r.top());
    EXPECT_GT(changed, r.width() / 3);

    QTest::mouseRelease(viewport, Qt::LeftButton, {}, over3);
    EXPECT_EQ(labels(form->ListBox1), QStringList({"Section 2", "Section 3", "Section 4", "Section 1"}));
    EXPECT_EQ(names(form->SectionList), std::vector<std::string>({"B", "C", "D", "A"}));
    EXPECT_EQ(form->selectedIndex(), 3);
    EXPECT_EQ(form->EName->text(), "A");
    EXPECT_EQ(form->ListBox1->feedbackRow(), -1);

    QTest::mouseClick(form->Button1, Qt::LeftButton);
    const pkm::TemplateStore store = saved();
    EXPECT_EQ(store.labels, std::vector<std::string>({"Section 1", "Section 2", "Section 3", "Section 4"}));
    EXPECT_EQ(names(store.records), std::vector<std::string>({"B", "C", "D", "A"}));
    EXPECT_EQ(store.records[3].Line, 1);
}

TEST_F(SectionCreator, ClicksBesideTheEntriesOrWithCtrlKeepOneSelectedAndEditsLand)
{
    open(storeText({{"A"}, {"B"}, {"C"}}));
    show();
    QWidget* viewport = form->ListBox1->viewport();
    const QPoint empty(20, viewport->height() - 5);
    ASSERT_EQ(form->ListBox1->itemAtPos(empty), -1);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCenter(1));
    ASSERT_EQ(form->selectedIndex(), 1);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, empty);
    EXPECT_EQ(form->selectedIndex(), 1);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowCenter(1));
    EXPECT_EQ(form->selectedIndex(), 1);
    EXPECT_EQ(form->EName->text(), "B");
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowCenter(2));
    EXPECT_EQ(form->selectedIndex(), 2);

    typeAndLeave(form->EName, "Renamed");
    EXPECT_EQ(names(form->SectionList), std::vector<std::string>({"A", "B", "Renamed"}));
}

TEST_F(SectionCreator, DropsOnTheEmptyAreaAndPlainClicksChangeNothing)
{
    open(storeText({{"A"}, {"B"}, {"C"}, {"D"}}));
    show();
    QWidget* viewport = form->ListBox1->viewport();
    const QPoint empty(20, viewport->height() - 5);
    ASSERT_EQ(form->ListBox1->itemAtPos(empty), -1);

    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCenter(1));
    QTest::mouseMove(viewport, rowCenter(3));
    QTest::mouseMove(viewport, empty);
    EXPECT_EQ(form->DragOverIndex, -1);
    EXPECT_EQ(form->ListBox1->feedbackRow(), -1);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, empty);
    EXPECT_EQ(names(form->SectionList), std::vector<std::string>({"A", "B", "C", "D"}));
    EXPECT_EQ(form->selectedIndex(), 1);

    // A press on the empty area starts no drag.
    QTest::mousePress(viewport, Qt::LeftButton, {}, empty);
    QTest::mouseMove(viewport, rowCenter(0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCenter(0));
    EXPECT_EQ(names(form->SectionList), std::vector<std::string>({"A", "B", "C", "D"}));

    // Escape abandons a drag and leaves the dialog open.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCenter(2));
    QTest::mouseMove(viewport, rowCenter(0));
    QTest::keyClick(form->ListBox1, Qt::Key_Escape);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCenter(0));
    EXPECT_EQ(names(form->SectionList), std::vector<std::string>({"A", "B", "C", "D"}));
    EXPECT_TRUE(form->isVisible());

    // A plain click selects.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCenter(3));
    EXPECT_EQ(form->selectedIndex(), 3);
    EXPECT_EQ(form->EName->text(), "D");
    EXPECT_EQ(names(form->SectionList), std::vector<std::string>({"A", "B", "C", "D"}));
}

TEST_F(SectionCreator, FileNamesThatAreNotUtf8SurviveOkUntouched)
{
    // Latin-1 names, as a store written on another system may hold.
    const std::string original = storeText({{"Caf\x82"}}, "cl\xE9.nfo", "clone.diz", "/tmp/\xE9t\xE9");
    open(original);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    const pkm::TemplateStore store = saved();
    EXPECT_EQ(store.settings.NfoClone, "cl\xE9.nfo");
    EXPECT_EQ(store.settings.OutputDir, "/tmp/\xE9t\xE9");
    EXPECT_EQ(names(store.records), std::vector<std::string>({"Caf\x82"}));
}

TEST_F(SectionCreator, OkSavesRecordsAndSettingsCancelWritesNothing)
{
    const std::string original = storeText({{"Title", 12}});
    open(original);
    form->Edit2->setText("new.nfo");
    form->Edit5->setText("/srv/releases");
    QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(dir.read("Release.ini"), original);

    open(original);
    form->Edit2->setText("new.nfo");
    form->Edit5->setText("/srv/releases");
    QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
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
    QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
    pkm::setWriteFaultAfterBytes(0);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    pkm::setWriteFaultAfterBytes(-1);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromStdString("Unable to write to " + dir.iniPath()));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(dir.read("Release.ini"), original);
}

TEST_F(SectionCreator, BrowseStartsAtTheOutputDirOrTheProgramDirectory)
{
    open(std::string());
    dialogs.folderAnswers.push_back(QStringLiteral("/srv/out"));
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    ASSERT_EQ(dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(dialogs.folderRequests[0].selection, QString::fromStdString(dir.path()));
    EXPECT_EQ(dialogs.folderRequests[0].title, "Pakmaster.");
    EXPECT_EQ(dialogs.folderRequests[0].statusText, "Please choose a directory.");
    EXPECT_EQ(form->Edit5->text(), "/srv/out");

    form->Edit5->setText("/data/games/");
    dialogs.folderAnswers.push_back(std::nullopt);
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(dialogs.folderRequests[1].selection, "/data/games");
    EXPECT_EQ(form->Edit5->text(), "/data/games/");
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

    TForm3* openHelper(QToolButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        return form->Helper;
    }
};

TEST_F(SectionHelper, OpensNonModallyWithTheReadOutAndNoCancelButton)
{
    TForm3* helper = openHelper(form->BitBtn5);
    ASSERT_NE(helper, nullptr);
    EXPECT_TRUE(helper->isVisible());
    EXPECT_FALSE(helper->isModal());
    EXPECT_EQ(helper->parent(), form.get());
    EXPECT_EQ(helper->HelperFileName, "clone.nfo");
    EXPECT_FALSE(helper->Button2->isVisible());
    EXPECT_TRUE(helper->Memo1->isReadOnly());
    EXPECT_EQ(helper->Button1->x(), (helper->width() - helper->Button1->width()) / 2);
    EXPECT_GT(helper->maximumWidth(), helper->minimumWidth()); // sizeable
    EXPECT_TRUE(QTest::qWaitFor([&] { return helper->windowTitle() == "clone.nfo [L: 1 - S: 1 - W: 0]"; }))
        << helper->windowTitle().toStdString();

    // Characters 20 to 59 of line 12 selected.
    QTextCursor cursor(helper->Memo1->document()->findBlockByNumber(11));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 19);
    cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 40);
    helper->Memo1->setTextCursor(cursor);
    QTest::keyClick(helper->Memo1, Qt::Key_Shift);
    EXPECT_TRUE(QTest::qWaitFor([&] { return helper->windowTitle() == "clone.nfo [L: 12 - S: 20 - W: 40]"; }))
        << helper->windowTitle().toStdString();

    // The dialog stays usable beside it.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    typeAndLeave(form->ELine, "13");
    EXPECT_EQ(form->SectionList[0].Line, 13);
    EXPECT_TRUE(helper->isVisible());
}

TEST_F(SectionHelper, OnlyOneHelperAtATimeAndAnEmptyNameDoesNothing)
{
    TForm3* helper = openHelper(form->BitBtn5);
    ASSERT_NE(helper, nullptr);
    QTest::mouseClick(form->BitBtn6, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Section helper");
    EXPECT_EQ(dialogs.messages[0].text, "One helper is already open!");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(form->Helper, helper);
    EXPECT_EQ(helper->HelperFileName, "clone.nfo");
    EXPECT_EQ(form->findChildren<TForm3*>().size(), 1);

    form->Edit3->clear();
    dialogs.messages.clear();
    QTest::mouseClick(form->BitBtn6, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->Helper, helper);
}

TEST_F(SectionHelper, ClosingByOkOrCloseBoxAllowsANewHelper)
{
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "OK button" : "close box");
        QPointer<TForm3> helper = openHelper(way == 0 ? form->BitBtn5 : form->BitBtn6);
        ASSERT_FALSE(helper.isNull());
        if (way == 0)
            QTest::mouseClick(helper->Button1, Qt::LeftButton);
        else
            helper->close();
        ASSERT_TRUE(QTest::qWaitFor([&] { return helper.isNull(); }));
        EXPECT_EQ(form->Helper, nullptr);
    }
    EXPECT_NE(openHelper(form->BitBtn6), nullptr);
    EXPECT_EQ(form->Helper->HelperFileName, "clone.diz");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SectionHelper, EscapeDoesNotHideTheHelper)
{
    TForm3* helper = openHelper(form->BitBtn5);
    ASSERT_NE(helper, nullptr);
    helper->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(helper));
    QTest::keyClick(helper->Memo1, Qt::Key_Escape);
    EXPECT_TRUE(helper->isVisible());
    EXPECT_EQ(form->Helper, helper);
}

TEST_F(SectionHelper, KeysMoveTheCaretForTheReadOutAndReturnLeavesTheHelperOpen)
{
    TForm3* helper = openHelper(form->BitBtn5);
    ASSERT_NE(helper, nullptr);
    helper->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(helper));
    helper->Memo1->setFocus();
    const QString text = helper->Memo1->toPlainText();
    QTest::keyClick(helper->Memo1, Qt::Key_Down);
    QTest::keyClick(helper->Memo1, Qt::Key_Down);
    QTest::keyClick(helper->Memo1, Qt::Key_Right);
    QTest::keyClick(helper->Memo1, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(helper->Memo1, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return helper->windowTitle() == "clone.nfo [L: 3 - S: 2 - W: 2]"; }))
        << helper->windowTitle().toStdString();

    QTest::keyClick(helper->Memo1, Qt::Key_Return);
    QTest::keyClick(helper->Memo1, Qt::Key_Enter);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Helper, helper);
    EXPECT_TRUE(helper->isVisible());
    EXPECT_EQ(helper->Memo1->toPlainText(), text);
}

TEST_F(SectionHelper, TheDialogsOkAndCancelCloseTheHelper)
{
    for (QPushButton* button : {form->Button2, form->Button1}) {
        SCOPED_TRACE(button->text().toStdString());
        if (!form->isVisible())
            show();
        QPointer<TForm3> helper = openHelper(form->BitBtn5);
        ASSERT_FALSE(helper.isNull());
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(form->Helper, nullptr);
        EXPECT_TRUE(helper.isNull() || !helper->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return helper.isNull(); }));
    }
}

TEST_F(SectionHelper, ATemplateThatCannotBeOpenedIsReportedAndLeavesNoHelper)
{
    form->Edit1->setText("missing.nfo");
    QTest::mouseClick(form->BitBtn5, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromStdString("Cannot open file " + dir.file("missing.nfo")));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(form->Helper, nullptr);
    EXPECT_TRUE(form->findChildren<TForm3*>().isEmpty());

    // The next helper button works at once.
    dialogs.messages.clear();
    TForm3* helper = openHelper(form->BitBtn6);
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
    auto* up = form->UpDown1->findChild<QToolButton*>("up");
    ASSERT_NE(up, nullptr);
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_TRUE(form->ListBox1->hasFocus());
    EXPECT_EQ(form->ELine->text(), "14");
    EXPECT_EQ(form->SectionList[0].Line, 14);

    // The arrow keys in a field step and commit as well.
    form->EStart->setFocus();
    QTest::keyClick(form->EStart, Qt::Key_Up);
    QTest::keyClick(form->EStart, Qt::Key_Up);
    EXPECT_EQ(form->SectionList[0].Start, 3);

    QTest::mouseClick(form->Button1, Qt::LeftButton);
    const pkm::TemplateStore store = saved();
    ASSERT_EQ(store.records.size(), 1u);
    EXPECT_EQ(store.records[0].Line, 14);
    EXPECT_EQ(store.records[0].Start, 3);
}

TEST_F(SectionCreator, ReturnCommitsTheFieldBeingEditedBeforeSaving)
{
    struct Row {
        QLineEdit* TForm2::*field;
        QString typed;
        std::string name;
        int width;
    };
    const Row rows[] = {
        {&TForm2::EName, "Release", "Release", 1},
        {&TForm2::EName, "", "Default name", 1},
        {&TForm2::ELength, "35", "Title", 35},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        open(storeText({{"Title", 12}}));
        show();
        QLineEdit* field = (*form).*row.field;
        field->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }));
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
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
    form->ELine->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ELine->hasFocus(); }));
    form->ELine->selectAll();
    QTest::keyClick(form->ELine, Qt::Key_Delete);
    QTest::keyClick(form->ELine, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    EXPECT_EQ(dialogs.messages[0].text, "Numeric values only!");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->ELine->hasFocus());
    EXPECT_EQ(dir.read("Release.ini"), original);
    // Fixed, Return closes it.
    QTest::keyClicks(form->ELine, "8");
    QTest::keyClick(form->ELine, Qt::Key_Return);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(saved().records[0].Line, 8);
}

TEST_F(SectionCreator, ClickingOkWhileLeavingAFieldThatFailsKeepsTheDialogOpen)
{
    const std::string original = storeText({{"Title", 12}});
    open(original);
    show();
    form->ELine->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ELine->hasFocus(); }));
    form->ELine->selectAll();
    QTest::keyClick(form->ELine, Qt::Key_Delete);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->ELine->hasFocus());
    EXPECT_EQ(dir.read("Release.ini"), original);
}
