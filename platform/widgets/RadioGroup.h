#pragma once
// A framed group of radio buttons with an item index; -1 means no item is chosen.
#include <QGroupBox>
#include <QList>

class QButtonGroup;
class QRadioButton;

namespace pkm {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    // A group without items; its form gives it their captions (the "items" property, setItems).
    explicit TRadioGroup(QWidget* parent = nullptr);

    // Makes one radio button per caption, named item0, item1, ...; set again (as a form's
    // retranslateUi does), the buttons take the new captions.
    void setItems(const QStringList& items);

    int itemIndex() const;
    // Chooses an item (-1: none) without emitting clicked().
    void setItemIndex(int index);
    QRadioButton* button(int index) const { return buttons_.value(index); }
    int count() const { return static_cast<int>(buttons_.size()); }

signals:
    // The user chose an item.
    void clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QButtonGroup* group_;
    QList<QRadioButton*> buttons_;
};

} // namespace pkm
