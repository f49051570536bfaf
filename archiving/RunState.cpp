// RunState: one run at a time.
#include "archiving/RunState.h"

namespace pkm {

bool RunState::begin(const QObject* owner, const QString& reason)
{
    if (owner_ != nullptr)
        return false;
    owner_ = owner;
    reason_ = reason;
    emit changed();
    return true;
}

void RunState::end(const QObject* owner)
{
    if (owner_ != owner)
        return;
    owner_ = nullptr;
    reason_.clear();
    emit changed();
}

} // namespace pkm
