// The number boxes' leave check and its message, shared by every window with digit boxes.
#include "platform/widgets/NumberField.h"

#include "support/gui/scripted_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace pkm;

TEST(NumberField, LeavingABoxRepairsOrReportsItsText)
{
    const struct {
        const char* text;
        EmptyBox empty;
        bool accepted;
        const char* shown;
    } rows[] = {
        {"42", EmptyBox::Stays, true, "42"},         {"0", EmptyBox::Stays, true, "1"},
        {"-7", EmptyBox::IsNotANumber, true, "1"},   {"", EmptyBox::Stays, true, ""},
        {"", EmptyBox::BecomesOne, true, "1"},       {"", EmptyBox::IsNotANumber, false, ""},
        {"12a", EmptyBox::BecomesOne, false, "12a"}, {"99999999999", EmptyBox::Stays, false, "99999999999"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        ScriptedDialogs dialogs;
        QDialog window;
        QLineEdit box(&window);
        NumericErrorNotice notice(&window, NumericErrorNotice::Answer::Message);
        box.setText(QString::fromLatin1(row.text));
        EXPECT_EQ(notice.checkBox(&box, row.empty), row.accepted);
        EXPECT_EQ(box.text(), QString::fromLatin1(row.shown));
        EXPECT_EQ(notice.pending(), !row.accepted);
        QTest::qWait(0);
        EXPECT_EQ(dialogs.messages.size(), row.accepted ? 0u : 1u);
    }
}

TEST(NumberField, TheMessageWaitsForTheEventUnderWayAndComesOnce)
{
    ScriptedDialogs dialogs;
    QDialog window;
    QLineEdit box(&window);
    NumericErrorNotice notice(&window, NumericErrorNotice::Answer::Message);
    notice.report(&box);
    notice.report(&box);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notice.pending(); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Input error"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Numeric values only!"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
}

TEST(NumberField, ADialogGetsTheBoxBackSelectedOnlyWhileItIsShown)
{
    ScriptedDialogs dialogs;
    QDialog window;
    QLineEdit other(&window);
    QLineEdit box(QStringLiteral("abc"), &window);
    NumericErrorNotice notice(&window, NumericErrorNotice::Answer::MessageAtTheBox);

    notice.report(&box);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notice.pending(); }));
    EXPECT_TRUE(dialogs.messages.empty()) << "a closed dialog has nothing to say";

    window.show();
    QApplication::setActiveWindow(&window);
    other.setFocus();
    notice.report(&box);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notice.pending(); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(box.hasFocus());
    EXPECT_EQ(box.selectedText(), QStringLiteral("abc"));
}
