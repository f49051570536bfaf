#include "platform/digit_filter.h"

#include <QKeyEvent>

bool rejectsNonDigit(const QKeyEvent* key, bool allowBackspace)
{
    if (key->key() == Qt::Key_Backspace)
        return !allowBackspace;
    const QString text = key->text();
    if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QChar c = text.at(0);
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return false;
    return !(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

TDigitFilter::TDigitFilter(QObject* parent, bool allowBackspace)
    : QObject(parent)
    , allowBackspace_(allowBackspace)
{
}

bool TDigitFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && rejectsNonDigit(static_cast<QKeyEvent*>(event), allowBackspace_))
        return true;
    return QObject::eventFilter(watched, event);
}
