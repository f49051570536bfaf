#include "platform/widgets/NumberField.h"

#include "platform/errors.h"
#include "platform/widgets/DeferredMessage.h"
#include "platform/widgets/Dialogs.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace pkm {

bool acceptsDigitKey(const QKeyEvent& key, DigitKeys mode)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return true;
    case Qt::Key_Backspace:
        return mode == DigitKeys::WithBackspace;
    default:
        break;
    }
    const QString text = key.text();
    if (text.isEmpty())
        return true;
    const QChar c = text.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    // Control characters: the editing shortcuts (copy, paste, undo ...).
    return !c.isPrint() && mode == DigitKeys::WithBackspace;
}

TDigitFilter::TDigitFilter(QObject* box, DigitKeys mode)
    : QObject(box)
    , mode_(mode)
{
    box->installEventFilter(this);
}

bool TDigitFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !acceptsDigitKey(*static_cast<QKeyEvent*>(event), mode_))
        return true;
    return QObject::eventFilter(watched, event);
}

NumericErrorNotice::NumericErrorNotice(QWidget* owner, Answer answer)
    : QObject(owner)
    , owner_(owner)
    , answer_(answer)
{
}

bool NumericErrorNotice::checkBox(QLineEdit* box, EmptyBox empty)
{
    const QString text = box->text();
    if (text.isEmpty() && empty == EmptyBox::Stays)
        return true;
    if (text.isEmpty() && empty == EmptyBox::BecomesOne) {
        box->setText(QStringLiteral("1"));
        return true;
    }
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok) {
        report(box);
        return false;
    }
    if (value < 1)
        box->setText(QStringLiteral("1"));
    return true;
}

void NumericErrorNotice::report(QLineEdit* box)
{
    box_ = box;
    if (pending_)
        return;
    pending_ = true;
    // The window the owner stands in now: a page may be shown alone or inside the wizard.
    QWidget* window = owner_->window();
    if (target_ != window) {
        if (target_ != nullptr)
            target_->removeEventFilter(this);
        target_ = window;
        window->installEventFilter(this);
    }
    postDeferredMessage(window);
}

bool NumericErrorNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != target_ || event->type() != kDeferredMessage || !pending_)
        return QObject::eventFilter(watched, event);
    pending_ = false;
    auto* window = static_cast<QWidget*>(watched);
    if (answer_ == Answer::MessageAtTheBox) {
        // A dialog already closed (Cancel clicked while leaving the box) has nothing to say.
        if (box_ == nullptr || !window->isVisible())
            return true;
        box_->setFocus(Qt::OtherFocusReason);
        box_->selectAll();
    }
    Dialogs().showMessage(window, QString::fromLatin1(kInputErrorCaption), QStringLiteral("Numeric values only!"),
                          MessageIcon::Error);
    return true;
}

} // namespace pkm
