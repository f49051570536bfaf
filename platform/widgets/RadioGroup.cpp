#include "platform/widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace pkm {

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent)
    , group_(new QButtonGroup(this))
{
    connect(group_, &QButtonGroup::idClicked, this, [this](int) { emit clicked(); });
}

void TRadioGroup::setItems(const QStringList& items)
{
    for (int i = 0; i < items.size(); ++i) {
        if (i < buttons_.size()) {
            buttons_.at(i)->setText(items.at(i));
            continue;
        }
        auto* b = new QRadioButton(items.at(i), this);
        b->setObjectName(QStringLiteral("item%1").arg(i));
        group_->addButton(b, i);
        buttons_.append(b);
    }
    while (buttons_.size() > items.size())
        delete buttons_.takeLast();
}

int TRadioGroup::itemIndex() const
{
    return group_->checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (index < 0 || index >= buttons_.size()) {
        // Exclusive groups cannot uncheck their last button: lift the rule while clearing.
        group_->setExclusive(false);
        for (QRadioButton* b : buttons_)
            b->setChecked(false);
        group_->setExclusive(true);
        return;
    }
    buttons_.at(index)->setChecked(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    // Items spread evenly over the area below the caption, as a radio group lays them out.
    const int top = 14;
    const int avail = height() - top - 4;
    const int n = static_cast<int>(buttons_.size());
    if (n == 0)
        return;
    const int step = avail / n;
    for (int i = 0; i < n; ++i)
        buttons_.at(i)->setGeometry(8, top + i * step + (step - 17) / 2, width() - 12, 17);
}

} // namespace pkm
