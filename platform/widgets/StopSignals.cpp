// StopSignals: the stop signals' pipe watched by the event loop.
#include "platform/widgets/StopSignals.h"

#include "platform/stop_signals.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <unistd.h>

namespace pkm {

namespace {
QPointer<StopSignals> gInstance;
}

StopSignals::StopSignals(QObject* parent)
    : QObject(parent)
    , notifier_(new QSocketNotifier(pkm::stopSignalDescriptor(), QSocketNotifier::Read, this))
{
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char drained[64];
        while (::read(pkm::stopSignalDescriptor(), drained, sizeof drained) > 0) { }
        emit stopRequested(pkm::stopSignal());
    });
}

StopSignals* StopSignals::install()
{
    if (!gInstance) {
        pkm::installStopSignals();
        if (pkm::stopSignalDescriptor() >= 0)
            gInstance = new StopSignals(QCoreApplication::instance());
    }
    return gInstance;
}

StopSignals* StopSignals::instance()
{
    return gInstance;
}

} // namespace pkm
