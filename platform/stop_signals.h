#pragma once
// SIGINT, SIGTERM and SIGHUP ask the program to stop: a run in progress is ended and undone, and
// the program then exits with 128 + the signal number. The handler only records the signal and
// makes a descriptor readable, which the event loop watches.
namespace pkm {

// Installs the handlers; safe to call again.
void installStopSignals();
// The first stop signal that came, 0 while none did.
int stopSignal();
// Readable once a stop signal came; -1 before installStopSignals.
int stopSignalDescriptor();

} // namespace pkm
