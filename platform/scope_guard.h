#pragma once
// Runs a step when the scope ends, however it ends (a return, an exception).
#include <utility>

namespace pkm {

template <class F> class ScopeGuard {
public:
    explicit ScopeGuard(F step)
        : step_(std::move(step))
    {
    }
    ~ScopeGuard() { step_(); }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

private:
    F step_;
};

} // namespace pkm
