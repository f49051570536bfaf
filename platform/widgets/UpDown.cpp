#include "platform/widgets/UpDown.h"

#include <QKeyEvent>

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace pkm {

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent)
    , up_(new QToolButton(this))
    , down_(new QToolButton(this))
{
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setIconSize(QSize(7, 5));
    }
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    setFocusPolicy(Qt::NoFocus);
}

void TUpDown::setAssociate(QLineEdit* edit)
{
    if (associate_)
        associate_->removeEventFilter(this);
    associate_ = edit;
    if (associate_)
        associate_->installEventFilter(this);
}

void TUpDown::setRange(int min, int max)
{
    min_ = min;
    max_ = max;
}

int TUpDown::position() const
{
    if (!associate_)
        return min_;
    bool ok = false;
    const int v = associate_->text().toInt(&ok);
    if (!ok)
        return min_;
    return std::clamp(v, min_, max_);
}

void TUpDown::setPosition(int value)
{
    if (associate_)
        associate_->setText(QString::number(std::clamp(value, min_, max_)));
}

void TUpDown::step(int delta)
{
    const int before = position();
    const int after = std::clamp(before + delta, min_, max_);
    setPosition(after);
    emit clicked(delta > 0);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == associate_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            step(key->key() == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TUpDown::resizeEvent(QResizeEvent*)
{
    const int h = height() / 2;
    up_->setGeometry(0, 0, width(), h);
    down_->setGeometry(0, h, width(), height() - h);
}

} // namespace pkm
