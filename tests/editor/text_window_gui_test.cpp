// TForm3, the fixed-font text window: its layout, its text read and saved byte for byte, and
// the section helper's read-out.
#include "editor/TextWindow.h"

#include "platform/widgets/Fonts.h"
#include "support/gui/find.h"
#include "support/temp_dir.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <string>

using namespace pkm;

using namespace std::string_literals;

namespace {

QTextEdit* memoOf(const TForm3& w)
{
    return find<QTextEdit>(&w, "Memo1");
}

// A template of `count` lines, line n reading "Lnn" followed by dots up to `width` characters.
std::string numberedLines(int count, int width)
{
    std::string text;
    for (int n = 1; n <= count; ++n) {
        std::string line = "L" + std::to_string(n);
        line.resize(static_cast<std::size_t>(width), '.');
        text += line + "\r\n";
    }
    return text;
}

// The section helper on "clone.nfo", sizeable, with a memo `chars` characters wide.
void showAsHelper(TForm3& w, int chars, const std::string& text)
{
    w.setUpAsSectionHelper(QStringLiteral("clone.nfo"), {}, {});
    w.setSizeable(true);
    w.resize(w.memoWidthForChars(chars) + 20, 500);
    w.setMemoText(text);
    w.show();
}

void select(TForm3& w, int from, int to)
{
    QTextCursor c = memoOf(w)->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    memoOf(w)->setTextCursor(c);
}

// Position in the memo of column `col` (1-based) of paragraph `line` (1-based).
int positionOf(TForm3& w, int line, int col)
{
    return memoOf(w)->document()->findBlockByNumber(line - 1).position() + col - 1;
}

// Presses Shift in the memo, which posts a read-out without moving the caret, and waits for it.
QString readOut(TForm3& w)
{
    const QString before = w.windowTitle();
    w.setWindowTitle(QString());
    QTest::keyClick(memoOf(w), Qt::Key_Shift);
    (void)QTest::qWaitFor([&] { return !w.windowTitle().isEmpty(); }, 2000);
    const QString after = w.windowTitle();
    if (after.isEmpty())
        w.setWindowTitle(before);
    return after;
}

} // namespace

TEST(FixedFontWindow, LayoutFollowsTheClientSize)
{
    TForm3 w;
    EXPECT_EQ(w.size(), QSize(592, 373));
    EXPECT_EQ(memoOf(w)->geometry(), QRect(10, 10, 572, 318));
    EXPECT_EQ(find<QPushButton>(&w, "Button1")->geometry(), QRect(422, 338, 75, 25));
    EXPECT_EQ(find<QPushButton>(&w, "Button2")->geometry(), QRect(507, 338, 75, 25));
    EXPECT_TRUE(find<QPushButton>(&w, "Button1")->isDefault());
    EXPECT_FALSE(w.helperMode());

    w.setSizeable(true);
    w.show();
    w.resize(700, 400);
    EXPECT_EQ(memoOf(w)->geometry(), QRect(10, 10, 680, 345));
    EXPECT_EQ(find<QPushButton>(&w, "Button1")->pos(), QPoint(530, 365));
    EXPECT_EQ(find<QPushButton>(&w, "Button2")->pos(), QPoint(615, 365));

    // The section helper keeps OK centred.
    w.setUpAsSectionHelper(QStringLiteral("clone.nfo"), {}, {});
    w.resize(801, 420);
    EXPECT_EQ(find<QPushButton>(&w, "Button1")->pos(), QPoint((801 - 75) / 2, 385));
}

TEST(FixedFontWindow, FontIsFixedPitchWithEightPixelCells)
{
    bool terminal = true;
    const QFont f = fixedTextFont(&terminal);
    const bool hasTerminal = [] {
        for (const QString& family : QFontDatabase::families())
            if (family.compare(QStringLiteral("terminal"), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }();
    EXPECT_EQ(terminal, hasTerminal);
    TForm3 w;
    // With neither Terminal nor FixedSys installed the fallback advances 8 pixels, the intended cell.
    if (!hasTerminal) {
        EXPECT_EQ(w.charAdvance(), 8) << memoOf(w)->font().family().toStdString();
    }
    EXPECT_EQ(w.memoWidthForChars(10), 10 * w.charAdvance() + 6);
}

TEST(FixedFontWindow, AMemoSizedForTenCharactersWrapsThreeWordsIntoTwoLines)
{
    TForm3 w;
    w.fitToColumns(10);
    EXPECT_EQ(w.width(), w.memoWidthForChars(10) + 20);
    EXPECT_EQ(memoOf(w)->width(), w.memoWidthForChars(10));
    EXPECT_EQ(w.columns(), 10);
    w.setMemoText("aaaa bbbb cccc");
    const std::vector<std::string> lines = w.displayLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 9), "aaaa bbbb");
    EXPECT_EQ(lines[1], "cccc");
}

TEST(FixedFontWindow, TextRoundTripsByteForByte)
{
    TempDir dir;
    std::string bytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            bytes += static_cast<char>(b);
    }
    bytes = "\xC9\xCD\xCD\xBB\r\n" + bytes + "\r\n\xC8\xCD\xCD\xBC\r\n";
    const std::string path = dir.write("art.nfo", bytes);
    TForm3 w;
    w.loadFromFile(path);
    EXPECT_EQ(w.memoText(), bytes);
    w.saveToFile(path);
    EXPECT_EQ(dir.read("art.nfo"), bytes);
}

TEST(FixedFontWindow, EveryLineEndStartsAParagraphAndSavesAsCrLf)
{
    struct Row {
        std::string given;
        int paragraphs;
        std::string memoText;
        std::string saved;
    };
    const Row rows[] = {
        {"one\r\ntwo", 2, "one\r\ntwo", "one\r\ntwo\r\n"}, // a last line without its line end gets one
        {"", 1, "", ""},                                   // an empty text stays empty
        {"a\rb\nc", 3, "a\r\nb\r\nc", "a\r\nb\r\nc\r\n"},
        {"a\r\n", 2, "a\r\n", "a\r\n"}, // the caret can stand below the last line
        {"a\n\n", 3, "a\r\n\r\n", "a\r\n\r\n"},
        {"\r\n", 2, "\r\n", "\r\n"},
        {"ab\0cd\r\n"s, 1, "ab", "ab\r\n"}, // a NUL byte ends the text
    };
    TempDir dir;
    const std::string path = dir.file("art.nfo");
    TForm3 w;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.given));
        w.setMemoText(row.given);
        EXPECT_EQ(memoOf(w)->document()->blockCount(), row.paragraphs);
        EXPECT_EQ(w.memoText(), row.memoText);
        w.saveToFile(path);
        EXPECT_EQ(dir.read("art.nfo"), row.saved);
    }
}

TEST(FixedFontWindow, ReadOutStaysOffOutsideHelperMode)
{
    TForm3 w;
    w.setWindowTitle(QStringLiteral("preview.nfo"));
    w.setMemoText(numberedLines(3, 20));
    w.show();
    QTest::mouseClick(memoOf(w)->viewport(), Qt::LeftButton, {}, QPoint(30, 20));
    QTest::keyClick(memoOf(w), Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("preview.nfo"));
}

TEST(FixedFontWindow, HelperReadsLineColumnAndWidthOfTheSelection)
{
    TForm3 w;
    showAsHelper(w, 90, numberedLines(20, 80));
    ASSERT_GE(w.columns(), 80);

    EXPECT_EQ(readOut(w), QStringLiteral("clone.nfo [L: 1 - S: 1 - W: 0]"));

    select(w, positionOf(w, 12, 20), positionOf(w, 12, 60));
    EXPECT_EQ(readOut(w), QStringLiteral("clone.nfo [L: 12 - S: 20 - W: 40]"));

    // A whole 80-character line.
    select(w, positionOf(w, 3, 1), positionOf(w, 3, 81));
    EXPECT_EQ(readOut(w), QStringLiteral("clone.nfo [L: 3 - S: 1 - W: 80]"));

    // Over the end of a line: the line end counts as two characters.
    select(w, positionOf(w, 3, 80), positionOf(w, 4, 2));
    EXPECT_EQ(readOut(w), QStringLiteral("clone.nfo [L: 3 - S: 80 - W: 4]"));
}

TEST(FixedFontWindow, HelperCountsWrappedLinesAsDisplayLinesUntilTheWindowIsWideEnough)
{
    TForm3 w;
    showAsHelper(w, 50, numberedLines(5, 80));
    ASSERT_EQ(w.columns(), 50);
    // Line 2 of the file is display lines 3 and 4; its column 60 is on display line 4.
    select(w, positionOf(w, 2, 60), positionOf(w, 2, 60));
    EXPECT_EQ(readOut(w), QStringLiteral("clone.nfo [L: 4 - S: 10 - W: 0]"));

    w.resize(w.memoWidthForChars(100) + 20, 500);
    EXPECT_EQ(readOut(w), QStringLiteral("clone.nfo [L: 2 - S: 60 - W: 0]"));
}

TEST(FixedFontWindow, MouseMovesUpdateOnlyWithTheLeftButtonHeld)
{
    TForm3 w;
    w.setUpAsSectionHelper(QStringLiteral("clone.nfo"), {}, {});
    w.setMemoText(numberedLines(5, 40));
    w.show();
    w.setWindowTitle(QStringLiteral("unchanged"));
    QMouseEvent plain(QEvent::MouseMove, QPointF(40, 30), QPointF(40, 30), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(memoOf(w)->viewport(), &plain);
    QMouseEvent right(QEvent::MouseMove, QPointF(40, 30), QPointF(40, 30), Qt::NoButton, Qt::RightButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(memoOf(w)->viewport(), &right);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("unchanged"));
    QMouseEvent left(QEvent::MouseMove, QPointF(40, 30), QPointF(40, 30), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(memoOf(w)->viewport(), &left);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.windowTitle().startsWith(QStringLiteral("clone.nfo [L: ")); }));
}

TEST(FixedFontWindow, OpensInTheScreenCentreAndTabLeavesTheMemo)
{
    QWidget owner;
    owner.setGeometry(0, 0, 200, 150);
    owner.show();
    TForm3 w(&owner);
    w.setMemoText("abc");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect screen = w.screen()->availableGeometry();
    EXPECT_EQ(w.frameGeometry().center(), screen.center());

    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    memoOf(w)->setFocus();
    QTest::keyClick(memoOf(w), Qt::Key_Tab);
    EXPECT_EQ(w.memoText(), "abc");
    EXPECT_FALSE(memoOf(w)->hasFocus());
}
