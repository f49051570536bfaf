// ParagraphLayout in the value editor, which must show the user the lines that OK will store:
// the lines Qt lays out in the memo are compared with the core's wrap over many generated texts
// and widths.
#include "editor/TextWindow.h"

#include "platform/widgets/TextCodec.h"
#include "support/gui/find.h"
#include "templates/word_wrap.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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
    doc->documentLayout()->documentSize(); // finishes the layout
    std::vector<std::string> lines;
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
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
    static const char* const words[] = {"a", "ab", "one", "two", "three", "four", "release", "x", "well-known",
                                        "3.5\"/1.44", "(c)1998", "!?", "supercalifragilistic",
                                        "0123456789012345678901234567890123456789", "\xDB\xDB\xB0\xB1\xB2",
                                        "\xC9\xCD\xCD\xBB", "\x01\x02\x03", "a\xFF" "b"};
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

#include "platform/widgets/TextCodec.h"

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
            for (auto& l : shown) std::cerr << "  qt   [" << l << "]\n";
            for (auto& l : expected) std::cerr << "  core [" << l << "]\n";
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
