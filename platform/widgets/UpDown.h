#pragma once
// Up-down arrows bound to a text box: the box shows the position, the arrows step it by one
// within the range without wrapping, and Up/Down keys in the box step it too.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace pkm {

class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    void setAssociate(QLineEdit* edit);
    QLineEdit* associate() const { return associate_; }
    void setRange(int min, int max);
    int min() const { return min_; }
    int max() const { return max_; }

    // The number the box shows, clamped to the range (the minimum when it shows none).
    int position() const;
    // Puts the number into the box.
    void setPosition(int value);

    // Steps by +1 or -1 as an arrow click does.
    void step(int delta);

signals:
    // After an arrow (or arrow key) moved the position.
    void clicked(bool up);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* associate_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 1;
    int max_ = 999;
};

} // namespace pkm
