#include "platform/widgets/DigitFilter.h"

#include <QKeyEvent>

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
