// TForm4, the "Zip files" dialog, driven by keys and clicks: OK and the name, the count field
// with its up-down, its repairs and its "Numeric values only!" message.
#include "archiving/ZipSeriesDialog.h"

#include "platform/widgets/UpDown.h"
#include "support/gui/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace pkm;

namespace {

class ZipFilesDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm4>();
        edit1 = form->findChild<QLineEdit*>("Edit1");
        edit2 = form->findChild<QLineEdit*>("Edit2");
        upDown = form->findChild<TUpDown*>("UpDown1");
        ok = form->findChild<QPushButton*>("Button1");
        cancel = form->findChild<QPushButton*>("Button2");
        ASSERT_TRUE(edit1 && edit2 && upDown && ok && cancel);
    }

    void show()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // Focus into the count field, then leave it with Tab as the user does.
    void leaveCountField(const QString& text)
    {
        edit2->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return edit2->hasFocus(); }));
        edit2->setText(text); // stands for a paste: typing cannot produce every text
        QTest::keyClick(edit2, Qt::Key_Tab);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<TForm4> form;
    QLineEdit* edit1 = nullptr;
    QLineEdit* edit2 = nullptr;
    TUpDown* upDown = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

} // namespace

TEST_F(ZipFilesDialog, OpensWithLabelsThatFitAndFocusInTheName)
{
    EXPECT_EQ(form->windowTitle(), "Zip files");
    EXPECT_EQ(form->size(), QSize(223, 109));
    EXPECT_EQ(upDown->associate(), edit2);
    // Every label fits its text and ends before its field.
    for (QLabel* label : form->findChildren<QLabel*>()) {
        ASSERT_NE(label->buddy(), nullptr) << label->text().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        EXPECT_LE(label->geometry().right(), label->buddy()->geometry().left()) << label->text().toStdString();
    }

    show();
    EXPECT_TRUE(edit1->hasFocus());
    EXPECT_FALSE(ok->isEnabled());
}

TEST_F(ZipFilesDialog, OkIsEnabledExactlyWhileTheNameIsNotEmpty)
{
    show();
    QTest::keyClicks(edit1, "d");
    EXPECT_TRUE(ok->isEnabled());
    QTest::keyClicks(edit1, "isk01");
    EXPECT_TRUE(ok->isEnabled());
    edit1->selectAll();
    QTest::keyClick(edit1, Qt::Key_Backspace);
    EXPECT_EQ(edit1->text(), "");
    EXPECT_FALSE(ok->isEnabled());

    // A name proposed before the dialog is shown enables OK from the start.
    TForm4 proposed;
    proposed.findChild<QLineEdit*>("Edit1")->setText("disk06");
    proposed.show();
    EXPECT_TRUE(proposed.findChild<QPushButton*>("Button1")->isEnabled());
}

TEST_F(ZipFilesDialog, CountFieldTakesDigitsAndBackspaceOnly)
{
    show();
    edit2->setFocus();
    edit2->clear();
    QTest::keyClicks(edit2, "x1-y2 z.3");
    EXPECT_EQ(edit2->text(), "123");
    QTest::keyClicks(edit2, "4");
    EXPECT_EQ(edit2->text(), "123"); // at most three characters
    QTest::keyClick(edit2, Qt::Key_Backspace);
    EXPECT_EQ(edit2->text(), "12");
    QTest::keyClick(edit2, Qt::Key_Up); // the arrows' key still steps the count
    EXPECT_EQ(edit2->text(), "13");
}

TEST_F(ZipFilesDialog, UpDownArrowsStepTheCountWithinItsRange)
{
    show();
    auto* up = upDown->findChild<QToolButton*>("up");
    auto* down = upDown->findChild<QToolButton*>("down");
    ASSERT_TRUE(up && down);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(edit2->text(), "2");
    QTest::mouseClick(down, Qt::LeftButton);
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(edit2->text(), "1");
}

TEST_F(ZipFilesDialog, LeavingTheCountFieldRepairsEmptyAndNonPositiveCounts)
{
    show();
    const struct {
        const char* typed;
        const char* after;
    } rows[] = {{"", "1"}, {"0", "1"}, {"000", "1"}, {"-5", "1"}, {"7", "7"}, {"999", "999"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        leaveCountField(row.typed);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ok->hasFocus() || cancel->hasFocus(); }));
        EXPECT_EQ(edit2->text(), row.after);
    }
    QApplication::processEvents();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ZipFilesDialog, LeavingTheCountFieldWithTextShowsNumericValuesOnly)
{
    show();
    edit1->setText("disk01");
    leaveCountField("1a");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Input error");
    EXPECT_EQ(dialogs.messages[0].text, "Numeric values only!");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    // The focus is back in the field with its whole text selected, for retyping.
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit2->hasFocus(); }));
    EXPECT_EQ(edit2->selectedText(), "1a");
    EXPECT_EQ(edit2->text(), "1a");
}

TEST_F(ZipFilesDialog, ClickingOkFromABadCountReportsOnceAndKeepsTheDialogOpen)
{
    QSignalSpy accepted(form.get(), &QDialog::accepted);
    show();
    edit1->setText("disk01");
    edit2->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit2->hasFocus(); }));
    edit2->setText("abc");
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    QApplication::processEvents();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(ZipFilesDialog, CancelClickedFromABadCountClosesWithoutAMessage)
{
    show();
    edit2->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit2->hasFocus(); }));
    edit2->setText("abc");
    // Leaving the field posts its message; the dialog is gone by the time it arrives.
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    QApplication::processEvents();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ZipFilesDialog, EnterInsideTheCountFieldAppliesTheFieldsRepair)
{
    // Empty: OK goes through with one zip, as leaving the field would have made it.
    {
        QSignalSpy accepted(form.get(), &QDialog::accepted);
        show();
        QTest::keyClicks(edit1, "disk01");
        edit2->setFocus();
        edit2->clear();
        QTest::keyClick(edit2, Qt::Key_Return);
        EXPECT_EQ(accepted.count(), 1);
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_EQ(edit2->text(), "1");
        EXPECT_EQ(form->Count(), 1);
        EXPECT_TRUE(dialogs.messages.empty());
    }
    // Not a number: the message of the field, and the dialog stays open.
    {
        SetUp();
        QSignalSpy accepted(form.get(), &QDialog::accepted);
        show();
        QTest::keyClicks(edit1, "disk01");
        edit2->setFocus();
        edit2->setText("9x");
        QTest::keyClick(edit2, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
        EXPECT_EQ(dialogs.lastMessageText(), "Numeric values only!");
        EXPECT_EQ(accepted.count(), 0);
        EXPECT_TRUE(form->isVisible());
        // Read without confirming, such a count is one zip.
        EXPECT_EQ(form->Count(), 1);
        edit2->setText("12");
        QTest::keyClick(edit2, Qt::Key_Return);
        EXPECT_EQ(accepted.count(), 1);
        EXPECT_EQ(form->Count(), 12);
    }
}

TEST_F(ZipFilesDialog, AltLettersReachTheFieldsAndEscapeCancels)
{
    QSignalSpy rejected(form.get(), &QDialog::rejected);
    show();
    QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit2->hasFocus(); }));
    QTest::keyClick(form.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit1->hasFocus(); }));
    QTest::keyClick(edit1, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_FALSE(form->isVisible());
}
