// ParagraphLayout, the text window's document layout.
#include "editor/ParagraphLayout.h"

#include "platform/widgets/TextCodec.h"
#include "templates/word_wrap.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace pkm {

namespace {
// A block's user state says whether its Qt lines are those of the current text, columns and
// font (the layout's generation); a changed block is laid out again when next shown.
constexpr int kNotLaidOut = -1;
} // namespace

ParagraphLayout::ParagraphLayout(QTextDocument* doc)
    : QAbstractTextDocumentLayout(doc)
{
}

void ParagraphLayout::setColumns(int columns)
{
    columns = std::max(1, columns);
    if (columns == columns_)
        return;
    columns_ = columns;
    countAll_ = true;
    documentChanged(0, 0, document()->characterCount());
}

int ParagraphLayout::firstLineOf(int blockNumber) const
{
    keepUp();
    if (firstLine_.empty())
        return 0;
    return firstLine_[static_cast<std::size_t>(std::clamp(blockNumber, 0, static_cast<int>(lines_.size())))];
}

qreal ParagraphLayout::topOf(int blockNumber) const
{
    return margin_ + firstLineOf(blockNumber) * lineHeight_;
}

int ParagraphLayout::blockNumberAt(qreal y) const
{
    keepUp();
    // The first block whose bottom lies below y.
    int low = 0;
    int high = static_cast<int>(lines_.size()) - 1;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (y >= topOf(mid + 1))
            low = mid + 1;
        else
            high = mid;
    }
    return std::max(low, 0);
}

void ParagraphLayout::layOutEverything()
{
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        ensureLaidOut(b);
}

void ParagraphLayout::draw(QPainter* painter, const PaintContext& context)
{
    painter->save();
    painter->setPen(context.palette.color(QPalette::Text));
    const int cursorWidth = property("cursorWidth").isValid() ? property("cursorWidth").toInt() : 1;
    const bool clipped = context.clip.isValid();
    QTextBlock b = clipped ? document()->findBlockByNumber(blockNumberAt(context.clip.top())) : document()->begin();
    for (; b.isValid(); b = b.next()) {
        if (clipped && topOf(b.blockNumber()) > context.clip.bottom())
            break;
        ensureLaidOut(b);
        const int start = b.position();
        const int length = b.length();
        QList<QTextLayout::FormatRange> ranges;
        for (const Selection& sel : context.selections) {
            const int from = std::max(sel.cursor.selectionStart() - start, 0);
            const int to = std::min(sel.cursor.selectionEnd() - start, length);
            if (from < to) {
                QTextLayout::FormatRange range;
                range.start = from;
                range.length = to - from;
                range.format = sel.format;
                ranges.append(range);
            }
        }
        b.layout()->draw(painter, QPointF(), ranges, clipped ? context.clip : QRectF());
        if (context.cursorPosition >= start && context.cursorPosition < start + length)
            b.layout()->drawCursor(painter, QPointF(), context.cursorPosition - start, cursorWidth);
    }
    painter->restore();
}

int ParagraphLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    const QTextBlock b = document()->findBlockByNumber(blockNumberAt(point.y()));
    if (!b.isValid())
        return -1;
    ensureLaidOut(b);
    const QTextLayout* layout = b.layout();
    const QPointF p = point - layout->position();
    const int count = layout->lineCount();
    const int i = std::clamp(static_cast<int>(p.y() / lineHeight_), 0, count - 1);
    const QTextLine line = layout->lineAt(i);
    if (accuracy == Qt::ExactHit
        && (p.y() < line.y() || p.y() >= line.y() + lineHeight_ || p.x() < 0 || p.x() > line.naturalTextWidth()))
        return -1;
    return b.position() + line.xToCursor(p.x());
}

QRectF ParagraphLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (!block.isValid())
        return {};
    keepUp();
    ensureLaidOut(block);
    const int n = block.blockNumber();
    return QRectF(margin_, topOf(n), size_.width(), lines_[static_cast<std::size_t>(n)] * lineHeight_);
}

void ParagraphLayout::updateMetrics()
{
    const QTextDocument* doc = document();
    const QFontMetricsF metrics(doc->defaultFont());
    lineHeight_ = std::max<qreal>(1, metrics.height());
    advance_ = metrics.horizontalAdvance(QLatin1Char('M'));
    margin_ = doc->documentMargin();
}

int ParagraphLayout::lineCountOf(const QTextBlock& block) const
{
    // A paragraph no longer than a line needs no wrap; an empty one is one empty line.
    if (block.length() - 1 <= columns_)
        return 1;
    // One byte per character, so the core's lines are the paragraph's.
    return std::max<int>(1, static_cast<int>(pkm::layoutDisplayLines(blanksOf(block.text()), columns_).size()));
}

void ParagraphLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    // Qt reports the whole document as changed when only its page size or font did (a shown or
    // resized editor sets the page size): the line counts hold, as they depend on the text and
    // the columns alone; the metrics and the blocks' Qt lines are taken anew.
    QTextDocument* doc = document();
    if (from == 0 && charsRemoved == 0 && charsAdded == doc->characterCount() && !countAll_
        && charsAdded == countedChars_ && static_cast<int>(lines_.size()) == doc->blockCount()) {
        updateMetrics();
        ++generation_;
        sumLines();
    } else {
        count(from, charsAdded);
    }
    countedChars_ = doc->characterCount();
    emit documentSizeChanged(size_);
    emit update(QRectF(0, 0, 1e9, 1e9));
}

void ParagraphLayout::count(int from, int charsAdded)
{
    QTextDocument* doc = document();
    updateMetrics();
    const int blocks = doc->blockCount();
    QTextBlock first = doc->findBlock(from);
    QTextBlock last = doc->findBlock(from + charsAdded);
    if (!first.isValid())
        first = doc->begin();
    if (!last.isValid())
        last = doc->lastBlock();
    // The changed blocks replace the old ones between the same neighbours; anything that does
    // not add up is counted again from the start.
    int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    const int oldLast = lastNumber - (blocks - static_cast<int>(lines_.size()));
    const bool all = countAll_ || oldLast < firstNumber || oldLast >= static_cast<int>(lines_.size());
    countAll_ = false;
    if (all) {
        lines_.clear();
        first = doc->begin();
        firstNumber = 0;
    } else {
        lines_.erase(lines_.begin() + firstNumber, lines_.begin() + oldLast + 1);
    }
    std::vector<int> counts;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        counts.push_back(lineCountOf(b));
        b.setUserState(kNotLaidOut);
        if (b == last && !all)
            break;
    }
    lines_.insert(lines_.begin() + firstNumber, counts.begin(), counts.end());
    sumLines();
}

void ParagraphLayout::sumLines()
{
    firstLine_.resize(lines_.size() + 1);
    firstLine_[0] = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        firstLine_[i + 1] = firstLine_[i] + lines_[i];
    size_ = QSizeF(2 * margin_ + columns_ * advance_, 2 * margin_ + firstLine_.back() * lineHeight_);
}

void ParagraphLayout::keepUp() const
{
    // Qt asks for blocks while it edits, before it reports the change. Blocks it has added or
    // removed count one line each until then, and the report counts every block again.
    const auto blocks = static_cast<std::size_t>(document()->blockCount());
    if (lines_.size() == blocks)
        return;
    auto* self = const_cast<ParagraphLayout*>(this);
    self->lines_.assign(blocks, 1);
    self->sumLines();
    self->countAll_ = true;
}

void ParagraphLayout::ensureLaidOut(const QTextBlock& block) const
{
    QTextLayout* layout = block.layout();
    if (block.userState() != generation_ || layout->lineCount() == 0)
        layoutBlock(block);
    layout->setPosition(QPointF(margin_, topOf(block.blockNumber())));
}

void ParagraphLayout::layoutBlock(QTextBlock block) const
{
    QTextLayout* layout = block.layout();
    const std::string text = blanksOf(block.text());
    const std::vector<pkm::DisplayLine> shown = pkm::layoutDisplayLines(text, columns_);

    QTextOption option = document()->defaultTextOption();
    // A tab is one column wide, as the core counts it.
    option.setTabStopDistance(advance_);
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout->setTextOption(option);
    // Each line takes exactly the characters of its core line, whatever the advance of their
    // glyphs; every line is one line height below the one before.
    layout->beginLayout();
    for (std::size_t i = 0;; ++i) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        if (i >= shown.size()) {
            line.setLineWidth(1e9);
        } else if (const pkm::DisplayLine& l = shown[i];
                   l.start + l.length < text.size() && text.find_first_not_of(" \t", l.start) >= l.start + l.length) {
            // Qt starts a line with at least one character after its blanks, unless the
            // blanks alone are wider than the line: leading blanks that form a line alone.
            line.setLineWidth((static_cast<qreal>(l.length) - 0.5) * advance_);
        } else {
            line.setNumColumns(static_cast<int>(l.length));
        }
        line.setPosition(QPointF(0, static_cast<qreal>(i) * lineHeight_));
    }
    layout->endLayout();
    block.setUserState(generation_);
}

} // namespace pkm
