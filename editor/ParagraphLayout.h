#pragma once
// ParagraphLayout, the text window's document layout: each paragraph laid out in the lines of
// the core wrap at a whole number of columns.
#include <QAbstractTextDocumentLayout>
#include <QSizeF>

class QTextBlock;
class QTextLayout;

// Qt's own wrapping does not follow the program's rules (it breaks at hyphens and symbols, cuts
// a long word after other words on its line, and miscounts a fixed column width by the blank
// after a word), so every paragraph is laid out in the lines of the core wrap: what the user
// sees is what the value editor stores and what generation writes.
class ParagraphLayout : public QAbstractTextDocumentLayout {
public:
    explicit ParagraphLayout(QTextDocument* doc);

    int columns() const { return columns_; }
    // Lays the whole document out again when the count (at least 1) changes.
    void setColumns(int columns);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return size_; }
    QRectF frameBoundingRect(QTextFrame*) const override { return QRectF(QPointF(), size_); }
    QRectF blockBoundingRect(const QTextBlock& block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    static qreal heightOf(const QTextLayout& layout);
    void relayoutAll();
    void layoutBlock(const QTextBlock& block);

    int columns_ = 1;
    QSizeF size_;
};
