// ParagraphLayout in the value editor, which must show the user the lines that OK will store:
// the lines Qt lays out in the memo are compared with the core's wrap over many generated texts
// and widths.
#include "editor/TextWindow.h"

#include "editor/ParagraphLayout.h"

#include "platform/widgets/TextCodec.h"
#include "support/gui/find.h"
#include "templates/word_wrap.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace pkm;

namespace {

// The memo prepared as the value editor prepares it for a section of `width` characters.
void prepareAsValueEditor(TForm3& editor, int width, const std::string& value)
{
    editor.fitToColumns(width);
    editor.setMemoText(value);
    editor.setMemoFontName(QStringLiteral("FixedSys"));
}

// The lines Qt has laid out, one per QTextLine, as bytes; a last empty line is not counted,
// as the core does not count it.
std::vector<std::string> laidOutLines(const TForm3& editor)
{
    QTextDocument* doc = find<QTextEdit>(&editor, "Memo1")->document();
    std::vector<std::string> lines;
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
        // Asking for a block's rectangle lays it out, as Qt asks before it reads its lines.
        doc->documentLayout()->blockBoundingRect(b);
        const QTextLayout* layout = b.layout();
        const QString text = b.text();
        if (layout->lineCount() == 0) {
            lines.emplace_back();
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.push_back(fromDisplay(text.mid(line.textStart(), line.textLength())));
        }
    }
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

// Words, long words, hyphens, symbols and every byte the code page draws, with blank runs,
// tabs and line breaks between them.
std::string randomText(std::mt19937& rng)
{
    static const char* const words[] = {"a",
                                        "ab",
                                        "one",
                                        "two",
                                        "three",
                                        "four",
                                        "release",
                                        "x",
                                        "well-known",
                                        "3.5\"/1.44",
                                        "(c)1998",
                                        "!?",
                                        "supercalifragilistic",
                                        "0123456789012345678901234567890123456789",
                                        "\xDB\xDB\xB0\xB1\xB2",
                                        "\xC9\xCD\xCD\xBB",
                                        "\x01\x02\x03",
                                        "a\xFF"
                                        "b"};
    std::uniform_int_distribution<int> pieceKind(0, 11);
    std::uniform_int_distribution<int> word(0, static_cast<int>(std::size(words)) - 1);
    std::uniform_int_distribution<int> pieces(0, 30);
    std::uniform_int_distribution<int> run(1, 12);
    std::uniform_int_distribution<int> byte(1, 255);
    std::string text;
    const int n = pieces(rng);
    for (int i = 0; i < n; ++i) {
        switch (pieceKind(rng)) {
        case 0:
            text += "\r\n";
            break;
        case 1:
            text.append(static_cast<std::size_t>(run(rng)), ' ');
            break;
        case 2:
            text += '\t';
            break;
        case 3: {
            // Any drawn byte: no blank, no line break.
            const int length = run(rng) * 2;
            for (int k = 0; k < length; ++k) {
                char c = static_cast<char>(byte(rng));
                if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                    c = '#';
                text += c;
            }
            text += ' ';
            break;
        }
        default:
            text += words[word(rng)];
            text += ' ';
            break;
        }
    }
    return text;
}

} // namespace

TEST(ValueEditorWrap, QtLayoutShowsTheLinesTheCoreWrapStores)
{
    std::mt19937 rng(437);
    std::uniform_int_distribution<int> widthOf(1, 80);
    int mismatches = 0;
    for (int run = 0; run < 1500; ++run) {
        const int width = widthOf(rng);
        const std::string value = randomText(rng);
        TForm3 editor;
        prepareAsValueEditor(editor, width, value);
        const std::vector<std::string> expected = pkm::wrapDisplayLines(editor.memoText(), editor.columns());
        const std::vector<std::string> shown = laidOutLines(editor);
        if (shown != expected && ++mismatches <= 5) {
            ADD_FAILURE() << "width " << width << " columns " << editor.columns() << " value [" << value << "]";
            for (auto& l : shown)
                std::cerr << "  qt   [" << l << "]\n";
            for (auto& l : expected)
                std::cerr << "  core [" << l << "]\n";
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ValueEditorWrap, TypingRewrapsAndClicksLandOnTheCharacterShown)
{
    TForm3 editor;
    prepareAsValueEditor(editor, 12, std::string());
    editor.show();
    QApplication::setActiveWindow(&editor);
    QTextEdit* memo = find<QTextEdit>(&editor, "Memo1");
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("one two three four-five supercalifragilistic x"));
    const std::vector<std::string> expected = {"one two ", "three ", "four-five ", "supercalifra", "gilistic x"};
    EXPECT_EQ(laidOutLines(editor), expected);
    EXPECT_EQ(pkm::wrapDisplayLines(editor.memoText(), editor.columns()), expected);

    // A click on the third character of the fourth displayed line puts the caret before it.
    const QTextBlock block = memo->document()->firstBlock();
    const QTextLine line = block.layout()->lineAt(3);
    const QPointF at = block.layout()->position() + QPointF(line.cursorToX(line.textStart() + 2) + 1, line.y() + 2);
    const QPoint viewportPoint =
        (at - QPointF(memo->horizontalScrollBar()->value(), memo->verticalScrollBar()->value())).toPoint();
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, viewportPoint);
    EXPECT_EQ(memo->textCursor().position(), line.textStart() + 2);
}

namespace {

ParagraphLayout* layoutOf(const TForm3& window)
{
    return static_cast<ParagraphLayout*>(find<QTextEdit>(&window, "Memo1")->document()->documentLayout());
}

// Everything a layout tells Qt about a document: each block's rectangle and place, its lines
// (characters, place, the x of each character), and what points at a grid over the text hit.
std::vector<double> whatTheLayoutTells(const TForm3& window)
{
    QTextDocument* doc = find<QTextEdit>(&window, "Memo1")->document();
    ParagraphLayout* layout = layoutOf(window);
    std::vector<double> told;
    const QSizeF size = layout->documentSize();
    told.insert(told.end(), {size.width(), size.height()});
    const qreal step = QFontMetricsF(doc->defaultFont()).height() / 3;
    for (qreal y = -step; y < size.height() + 2 * step; y += step)
        for (qreal x = -4; x < size.width() + 8; x += 3)
            told.insert(told.end(),
                        {static_cast<double>(layout->hitTest({x, y}, Qt::FuzzyHit)),
                         static_cast<double>(layout->hitTest({x, y}, Qt::ExactHit))});
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
        const QRectF r = layout->blockBoundingRect(b);
        const QTextLayout* lines = b.layout();
        told.insert(told.end(),
                    {r.x(), r.y(), r.width(), r.height(), lines->position().x(), lines->position().y(),
                     static_cast<double>(layout->firstLineOf(b.blockNumber()))});
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            told.insert(told.end(),
                        {static_cast<double>(line.textStart()), static_cast<double>(line.textLength()), line.y()});
            for (int c = line.textStart(); c <= line.textStart() + line.textLength(); ++c)
                told.push_back(line.cursorToX(c));
        }
    }
    return told;
}

} // namespace

TEST(LazyParagraphLayout, TellsWhatAFullLayoutOfTheSameTextTells)
{
    std::mt19937 rng(96);
    for (int round = 0; round < 12; ++round) {
        std::string text;
        while (text.size() < 12000)
            text += randomText(rng) + "\r\n";

        // Shown, narrowed, scrolled, and edited above and below what is on screen: only what
        // was on screen or asked for is laid out on the way.
        TForm3 lazy;
        lazy.setSizeable(true);
        lazy.setMemoText(text);
        lazy.show();
        QTextEdit* memo = find<QTextEdit>(&lazy, "Memo1");
        QScrollBar* bar = memo->verticalScrollBar();
        bar->setValue(bar->maximum() / 3);
        QApplication::processEvents();
        lazy.resize(lazy.width() - 8 * static_cast<int>(1 + rng() % 30), lazy.height());
        bar->setValue(bar->maximum() / 2);
        QApplication::processEvents();
        QTextCursor edit(memo->document());
        edit.setPosition(static_cast<int>(rng() % 3000));
        edit.insertText(QStringLiteral("inserted words\nand a break "));
        edit.setPosition(static_cast<int>(9000 + rng() % 2000));
        edit.setPosition(edit.position() + 300, QTextCursor::KeepAnchor);
        edit.removeSelectedText();
        QApplication::processEvents();
        bar->setValue(bar->maximum());
        QApplication::processEvents();

        TForm3 full;
        full.setSizeable(true);
        full.fitToColumns(lazy.columns());
        full.setMemoText(lazy.memoText());
        ASSERT_EQ(full.columns(), lazy.columns());
        layoutOf(full)->layOutEverything();

        ASSERT_EQ(whatTheLayoutTells(lazy), whatTheLayoutTells(full)) << "round " << round;
        EXPECT_EQ(laidOutLines(lazy), pkm::wrapDisplayLines(lazy.memoText(), lazy.columns()));
    }
}
