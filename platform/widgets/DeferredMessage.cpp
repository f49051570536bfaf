#include "platform/widgets/DeferredMessage.h"

#include <QCoreApplication>

void postDeferredMessage(QObject* target)
{
    QCoreApplication::postEvent(target, new QEvent(kDeferredMessage));
}
