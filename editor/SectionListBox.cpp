// TSectionListBox, the section creator's list of sections.
#include "editor/SectionListBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace pkm {

namespace {

constexpr int kItemHeight = 13;

class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
    }
};

} // namespace

TSectionListBox::TSectionListBox(QWidget* parent)
    : QListWidget(parent)
{
    setItemDelegate(new FixedHeightDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setDragEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QItemSelectionModel::SelectionFlags TSectionListBox::selectionCommand(const QModelIndex& index,
                                                                      const QEvent* event) const
{
    // One entry stays selected: a click on the empty area or a Ctrl+click on the selected
    // entry does not leave the fields without a section.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
    if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::ClearAndSelect;
    return flags;
}

int TSectionListBox::itemAtPos(const QPoint& pos) const
{
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

void TSectionListBox::setFeedbackRow(int row)
{
    if (row == feedbackRow_)
        return;
    feedbackRow_ = row;
    viewport()->update();
}

void TSectionListBox::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    if (OnMouseDown)
        OnMouseDown(event);
}

void TSectionListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove && OnMouseMove(event))
        return;
    QListWidget::mouseMoveEvent(event);
}

void TSectionListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnMouseUp && OnMouseUp(event))
        return;
    QListWidget::mouseReleaseEvent(event);
}

void TSectionListBox::keyPressEvent(QKeyEvent* event)
{
    if (OnKeyDown && OnKeyDown(event))
        return;
    QListWidget::keyPressEvent(event);
}

void TSectionListBox::paintEvent(QPaintEvent* event)
{
    QListWidget::paintEvent(event);
    if (feedbackRow_ < 0 || feedbackRow_ >= count())
        return;
    // A dotted rectangle drawn by inverting the pixels under it, as a focus rectangle is.
    const QRect r = visualRect(model()->index(feedbackRow_, 0)).adjusted(0, 0, -1, -1);
    QPainter painter(viewport());
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r);
}

} // namespace pkm
