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
#include <map>

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
    relayoutAll();
}

void ParagraphLayout::relayoutAll()
{
    documentChanged(0, 0, document()->characterCount());
}

void ParagraphLayout::draw(QPainter* painter, const PaintContext& context)
{
    painter->save();
    painter->setPen(context.palette.color(QPalette::Text));
    const int cursorWidth = property("cursorWidth").isValid() ? property("cursorWidth").toInt() : 1;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const QRectF r = blockBoundingRect(b);
        if (context.clip.isValid() && (r.bottom() < context.clip.top() || r.top() > context.clip.bottom()))
            continue;
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
        b.layout()->draw(painter, QPointF(), ranges, context.clip.isValid() ? context.clip : QRectF());
        if (context.cursorPosition >= start && context.cursorPosition < start + length)
            b.layout()->drawCursor(painter, QPointF(), context.cursorPosition - start, cursorWidth);
    }
    painter->restore();
}

int ParagraphLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const QTextLayout* layout = b.layout();
        const QRectF r = blockBoundingRect(b);
        if (point.y() >= r.bottom() && b.next().isValid())
            continue;
        const QPointF p = point - layout->position();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (p.y() >= line.y() + line.height() && i + 1 < layout->lineCount())
                continue;
            if (accuracy == Qt::ExactHit
                && (p.y() < line.y() || p.y() >= line.y() + line.height() || p.x() < 0
                    || p.x() > line.naturalTextWidth()))
                return -1;
            return b.position() + line.xToCursor(p.x());
        }
        return accuracy == Qt::ExactHit ? -1 : b.position();
    }
    return -1;
}

QRectF ParagraphLayout::blockBoundingRect(const QTextBlock& block) const
{
    const QTextLayout* layout = block.layout();
    if (layout == nullptr)
        return {};
    return QRectF(layout->position(), QSizeF(size_.width(), heightOf(*layout)));
}

void ParagraphLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    Q_UNUSED(charsRemoved);
    QTextDocument* doc = document();
    const QTextBlock last = doc->findBlock(from + charsAdded);
    for (QTextBlock b = doc->findBlock(from); b.isValid(); b = b.next()) {
        layoutBlock(b);
        if (b == last)
            break;
    }
    // Blocks never laid out yet (a document handed over with text in it).
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.layout()->lineCount() == 0)
            layoutBlock(b);
    }
    const qreal margin = doc->documentMargin();
    qreal y = margin;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        b.layout()->setPosition(QPointF(margin, y));
        y += heightOf(*b.layout());
    }
    const qreal advance = QFontMetricsF(doc->defaultFont()).horizontalAdvance(QLatin1Char('M'));
    size_ = QSizeF(2 * margin + columns_ * advance, y + margin);
    emit documentSizeChanged(size_);
    emit update(QRectF(0, 0, 1e9, 1e9));
}

qreal ParagraphLayout::heightOf(const QTextLayout& layout)
{
    if (layout.lineCount() == 0)
        return 0;
    const QTextLine last = layout.lineAt(layout.lineCount() - 1);
    return last.y() + last.height();
}

void ParagraphLayout::layoutBlock(const QTextBlock& block)
{
    QTextLayout* layout = block.layout();
    const QString text = block.text();
    // One byte per character, so the core's positions are the paragraph's.
    const std::vector<pkm::DisplayLine> shown = pkm::layoutDisplayLines(fromDisplay(text), columns_);

    QTextOption option = document()->defaultTextOption();
    // A tab is one column wide, as the core counts it.
    option.setTabStopDistance(QFontMetricsF(document()->defaultFont()).horizontalAdvance(QLatin1Char('M')));

    // A displayed line that ends before the paragraph does gets a width from the x positions
    // of the characters at its ends, read off one unwrapped line, whatever the advance of
    // its glyphs.
    const auto size = static_cast<std::size_t>(text.size());
    std::map<std::size_t, qreal> x;
    for (const pkm::DisplayLine& shownLine : shown) {
        const std::size_t end = shownLine.start + shownLine.length;
        if (end < size)
            for (const std::size_t at : {shownLine.start, shownLine.start + 1, end, end + 1})
                x.emplace(at, 0);
    }
    if (!x.empty()) {
        option.setWrapMode(QTextOption::NoWrap);
        layout->setTextOption(option);
        layout->beginLayout();
        if (QTextLine whole = layout->createLine(); whole.isValid()) {
            whole.setLineWidth(1e9);
            for (auto& [at, value] : x)
                value = whole.cursorToX(static_cast<int>(at));
        }
        layout->endLayout();
    }

    // Each line is just wide enough for its characters (the blanks at its end included)
    // and too narrow for the next one.
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    qreal y = 0;
    std::size_t i = 0;
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        qreal width = 1e9;
        if (i < shown.size()) {
            const std::size_t begin = shown[i].start;
            const std::size_t end = begin + shown[i].length;
            if (end < size) {
                const bool blanksOnly = std::all_of(text.begin() + static_cast<qsizetype>(begin),
                                                    text.begin() + static_cast<qsizetype>(end), [](QChar c) {
                                                        return c == QLatin1Char(' ') || c == QLatin1Char('\t');
                                                    });
                // Qt starts a line with at least one character after its blanks, unless the
                // blanks alone are wider than the line.
                if (blanksOnly)
                    width = x[end] - x[begin] - (x[begin + 1] - x[begin]) / 2;
                else
                    width = x[end] - x[begin] + (x[end + 1] - x[end]) / 2;
            }
        }
        ++i;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
}
