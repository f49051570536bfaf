// The stop signals: recorded once, announced through a pipe (the self-pipe pattern).
#include "platform/stop_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace pkm {

namespace {

volatile sig_atomic_t gStopSignal = 0;
int gPipe[2] = {-1, -1};

void onStopSignal(int signal)
{
    const int savedErrno = errno;
    if (gStopSignal == 0)
        gStopSignal = signal;
    if (gPipe[1] >= 0) {
        const char byte = static_cast<char>(signal);
        // Non-blocking: a full pipe already says enough.
        [[maybe_unused]] const ssize_t ignored = ::write(gPipe[1], &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

void installStopSignals()
{
    if (gPipe[0] >= 0)
        return;
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        gPipe[0] = gPipe[1] = -1;
        return;
    }
    struct sigaction action { };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume; the event loop learns of the signal through the pipe.
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

int stopSignal()
{
    return gStopSignal;
}

int stopSignalDescriptor()
{
    return gPipe[0];
}

} // namespace pkm
