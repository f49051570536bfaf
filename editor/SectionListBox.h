#pragma once
// TSectionListBox, the section creator's list of sections: entries 13 pixels high, one of them
// always selected, a hook for each mouse step so that the dialog can run its drag and drop, and
// the drag feedback rectangle painted over one entry.
#include <QListWidget>
#include <functional>

namespace pkm {

class TSectionListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TSectionListBox(QWidget* parent = nullptr);

    // Run after the list's own handling of the press (which has selected the entry).
    std::function<void(QMouseEvent*)> OnMouseDown;
    // A move or release the hook takes (returns true) does not reach the list.
    std::function<bool(QMouseEvent*)> OnMouseMove;
    std::function<bool(QMouseEvent*)> OnMouseUp;
    // A key the hook takes does not reach the list (Escape ends a drag).
    std::function<bool(QKeyEvent*)> OnKeyDown;

    // The entry that carries the drag feedback rectangle; -1: none.
    int feedbackRow() const { return feedbackRow_; }
    void setFeedbackRow(int row);
    // The entry under a point of the viewport; -1 over the empty area.
    int itemAtPos(const QPoint& pos) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    int feedbackRow_ = -1;
};

} // namespace pkm
