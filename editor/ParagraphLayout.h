#pragma once
// ParagraphLayout, the text window's document layout: each paragraph laid out in the lines of
// the core wrap at a whole number of columns.
#include <QAbstractTextDocumentLayout>
#include <QSizeF>

#include <vector>

class QTextBlock;

namespace pkm {

// Qt's own wrapping does not follow the program's rules (it breaks at hyphens and symbols, cuts
// a long word after other words on its line, and miscounts a fixed column width by the blank
// after a word), so every paragraph is laid out in the lines of the core wrap: what the user
// sees is what the value editor stores and what generation writes.
//
// Every displayed line is one line height tall, so a paragraph's height is its count of core
// lines and the document's height is known without laying anything out. A paragraph gets its
// Qt lines only when it is drawn, hit or asked for its rectangle (as Qt asks before it reads a
// paragraph's lines), so a long file opens as fast as the part of it on screen.
class ParagraphLayout : public QAbstractTextDocumentLayout {
public:
    explicit ParagraphLayout(QTextDocument* doc);

    int columns() const { return columns_; }
    // Lays the whole document out again when the count (at least 1) changes.
    void setColumns(int columns);
    // Display lines above paragraph `blockNumber` (the count of all of them past the last).
    int firstLineOf(int blockNumber) const;
    // Gives every paragraph its Qt lines now, as a layout without laziness would.
    void layOutEverything();

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return size_; }
    QRectF frameBoundingRect(QTextFrame*) const override { return QRectF(QPointF(), size_); }
    QRectF blockBoundingRect(const QTextBlock& block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    // Counts the display lines of the blocks changed from `from` on (all of them when the change
    // does not fit the counts held), and the document's size.
    void count(int from, int charsAdded);
    void keepUp() const;
    // Display lines above each paragraph, and the document's size.
    void sumLines();
    int lineCountOf(const QTextBlock& block) const;
    // The block's Qt lines, laid out when missing or stale, and its position.
    void ensureLaidOut(const QTextBlock& block) const;
    void layoutBlock(QTextBlock block) const;
    qreal topOf(int blockNumber) const;
    // The block holding y, the first for y above the text and the last for y below it.
    int blockNumberAt(qreal y) const;
    void updateMetrics();

    int columns_ = 1;
    qreal lineHeight_ = 1;
    qreal advance_ = 8;
    qreal margin_ = 0;
    std::vector<int> lines_;     // display lines of each paragraph
    std::vector<int> firstLine_; // display lines above each paragraph, and the total last
    bool countAll_ = false;      // the counts held no longer match the blocks they stand for
    int countedChars_ = 0;       // the document's length when the lines were counted
    int generation_ = 1;         // the blocks laid out since the last change of font or columns
    QSizeF size_;
};

} // namespace pkm
