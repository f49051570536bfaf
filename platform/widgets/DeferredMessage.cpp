#include "platform/widgets/DeferredMessage.h"

#include <QCoreApplication>

namespace pkm {

void postDeferredMessage(QObject* target)
{
    QCoreApplication::postEvent(target, new QEvent(kDeferredMessage));
}

} // namespace pkm
