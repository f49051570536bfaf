// StubPipe: the stub started as a child process, its output read through poll and cut into lines.
#include "archiving/stub_pipe.h"

#include "platform/child_process.h"
#include "platform/file_io.h"
#include "platform/scope_guard.h"
#include "platform/stop_signals.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pkm {

namespace {

const char* const kStubName = "PKM.DLL";
// A stub asked to stop gets this long to let its command clean up before it is killed.
constexpr auto kStopGrace = std::chrono::seconds(10);
// How often a run whose output stays open checks whether the stub has ended: a background
// process the command left behind holding the output does not keep the run going.
constexpr int kExitCheckMs = 200;

void closeAll(std::initializer_list<int*> fds)
{
    for (int* fd : fds) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

} // namespace

StubPipe::StubPipe(std::string programDir, std::function<void(const std::string& line)> onLine)
    : programDir_(std::move(programDir))
    , splitter_(std::move(onLine))
{
}

RunOutcome StubPipe::run(const std::string& commandLine, const EnvironmentAdditions& environment)
{
    int output[2] = {-1, -1};
    int input[2] = {-1, -1};
    int status[2] = {-1, -1};
    const ScopeGuard closePipes([&] {
        closeAll({&output[0], &output[1], &input[0], &input[1], &status[0], &status[1]});
    });
    if (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(input, O_CLOEXEC) != 0
        || ::pipe2(status, O_CLOEXEC | O_NONBLOCK) != 0)
        return {1, 0, 0};

    ChildLaunch launch;
    launch.argv = {programDir_ + kStubName, "?" + commandLine};
    launch.outputFd = output[1];
    // The child's standard input stays an open pipe that is never written.
    launch.inputFd = input[0];
    // The stub says through this pipe when it could not start the command.
    launch.inheritedFds = {status[1]};
    launch.environment = environment;
    launch.environment.emplace_back("PKM_STUB_STATUS_FD", std::to_string(status[1]));
    int error = 0;
    const pid_t child = startChild(launch, error);
    if (child < 0)
        return {2, 0, 0};
    closeAll({&output[1], &input[0], &status[1]});

    // A stop signal ends the stub, which passes it on to the command and waits for it.
    bool stopping = false;
    std::chrono::steady_clock::time_point killAt;
    const auto stop = [&] {
        if (stopping)
            return;
        stopping = true;
        ::kill(child, SIGTERM);
        killAt = std::chrono::steady_clock::now() + kStopGrace;
    };
    if (stopSignal() != 0)
        stop();

    int waitStatus = 0;
    bool exited = false;
    char buffer[LineSplitter::kChunkSize];
    for (;;) {
        pollfd fds[2] = {{output[0], POLLIN, 0}, {stopping ? -1 : stopSignalDescriptor(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, kExitCheckMs);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const ssize_t got = ::read(output[0], buffer, sizeof buffer);
            if (got == 0)
                break;
            if (got > 0)
                splitter_.SplitChunk(std::string_view(buffer, static_cast<std::size_t>(got)));
            else if (errno != EINTR && errno != EAGAIN)
                break;
        }
        if ((ready > 0 && fds[1].revents != 0) || (!stopping && stopSignal() != 0))
            stop();
        if (stopping && std::chrono::steady_clock::now() >= killAt)
            ::kill(child, SIGKILL);
        if (tick_)
            tick_();
        if (ready == 0 && ::waitpid(child, &waitStatus, WNOHANG) == child) {
            exited = true;
            // What is already there is the command's; what comes later is not waited for.
            ::fcntl(output[0], F_SETFL, O_NONBLOCK);
            ssize_t got;
            while ((got = ::read(output[0], buffer, sizeof buffer)) > 0)
                splitter_.SplitChunk(std::string_view(buffer, static_cast<std::size_t>(got)));
            break;
        }
    }
    if (!exited && !stopping) {
        // The output ended: the stub ends with it.
        waitStatus = waitForChild(child);
    } else if (!exited) {
        // Asked to stop: it gets its grace, then it is killed.
        pid_t ended;
        while ((ended = ::waitpid(child, &waitStatus, WNOHANG)) == 0 || (ended < 0 && errno == EINTR)) {
            if (std::chrono::steady_clock::now() >= killAt)
                ::kill(child, SIGKILL);
            ::usleep(10'000);
        }
    }
    splitter_.FlushPending();

    RunOutcome outcome;
    outcome.startError = std::atoi(readToEnd(status[0]).c_str());
    if (WIFEXITED(waitStatus))
        outcome.exitCode = WEXITSTATUS(waitStatus);
    else if (WIFSIGNALED(waitStatus))
        outcome.exitCode = 128 + WTERMSIG(waitStatus);
    else
        outcome.exitCode = 1;
    return outcome;
}

} // namespace pkm
