#pragma once
// The private message WM_USER + 1021: posted by a window to itself for work that must wait
// until the event under way is over (a focus change, a key press).
#include <QEvent>

class QObject;

namespace pkm {

inline constexpr QEvent::Type kDeferredMessage = QEvent::Type(QEvent::User + 1021);

// Queues the message for `target`; its event() (or an event filter on it) answers it.
void postDeferredMessage(QObject* target);

} // namespace pkm
