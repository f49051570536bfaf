// PKM.DLL: runs one command line for the program and passes on its exit status.
//
// Its one argument is "?" followed by the command line. The line is split into words by the
// Windows rules (no shell is involved), the first word is started as the program with the
// others as its arguments, sharing this process's standard input, output and error, and the
// stub exits with the program's status: its exit code, 128 + the signal number when a signal
// ended it, or the errno value when it could not be started (after a line saying why).
//
// The program ends with the stub: SIGINT, SIGTERM and SIGHUP are passed on to it and waited
// for, so it can clean up, and it is sent SIGTERM if the stub itself is killed outright. The
// stub is in turn sent SIGTERM when the process that started it ends (the pipe sets that up).
//
// When the environment names a descriptor in PKM_STUB_STATUS_FD, a start failure is also
// written there as its errno value, so the caller can tell it from the program's own status.
// When it names a staging folder in PKM_STUB_UNDO (the program's replacement of a set of files
// while this command makes one of them), and the program has ended by the time the command
// has, the stub undoes that replacement: the earlier files are whole again at once, not only
// at the next run.
#include "archiving/command_line_split.h"
#include "archiving/set_replacement.h"
#include "platform/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

volatile sig_atomic_t gChild = 0;

void forwardSignal(int signal)
{
    if (gChild > 0)
        ::kill(static_cast<pid_t>(gChild), signal);
}

// The descriptor for start failures, or -1; not inherited by the program.
int statusDescriptor()
{
    const char* text = std::getenv("PKM_STUB_STATUS_FD");
    if (text == nullptr || *text == '\0')
        return -1;
    char* end = nullptr;
    const long fd = std::strtol(text, &end, 10);
    if (*end != '\0' || fd < 3 || fd > 65535 || ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC) != 0)
        return -1;
    return static_cast<int>(fd);
}

// Undoes the replacement whose staging folder the program named, once nobody holds it.
void undoForEndedProgram()
{
    const char* staging = std::getenv("PKM_STUB_UNDO");
    if (staging == nullptr)
        return;
    const std::string path = staging;
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == path.size())
        return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        pkm::recoverStaging(slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1));
    ::close(fd);
}

void reportStartFailure(int fd, int error)
{
    if (fd < 0)
        return;
    const std::string text = std::to_string(error) + "\n";
    while (::write(fd, text.data(), text.size()) < 0 && errno == EINTR) { }
}

} // namespace

int main(int argc, char** argv)
{
    const int statusFd = statusDescriptor();
    if (argc != 2 || argv[1][0] != '?') {
        std::fprintf(stderr, "PKM.DLL: expected one argument: ? followed by a command line\n");
        reportStartFailure(statusFd, EINVAL);
        return EINVAL;
    }
    std::vector<std::string> words = pkm::splitCommandLine(argv[1] + 1);
    if (words.empty() || words.front().empty()) {
        std::fprintf(stderr, "PKM.DLL: no program to run\n");
        reportStartFailure(statusFd, EINVAL);
        return EINVAL;
    }

    struct sigaction action { };
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // The output pipe's reader may end first; the command then gets SIGTERM and cleans up
    // rather than dying half-way on a write.
    ::signal(SIGPIPE, SIG_IGN);
    const pid_t parent = ::getppid();

    // Our output is a pipe: anything of ours must be out before the program writes.
    std::fflush(stdout);
    std::fflush(stderr);

    int startError = 0;
    const pid_t child = pkm::startChild({words, false, {}, -1, SIGTERM, true}, startError, &gChild);
    if (child < 0) {
        std::fprintf(stdout, "Cannot run %s: %s\n", words.front().c_str(), std::strerror(startError));
        std::fflush(stdout);
        reportStartFailure(statusFd, startError);
        return startError;
    }

    const int status = pkm::waitForChild(child);
    gChild = 0;
    if (::getppid() != parent)
        undoForEndedProgram();
    if (status < 0) {
        const int waitError = errno;
        std::fprintf(stdout, "Cannot wait for %s: %s\n", words.front().c_str(), std::strerror(waitError));
        return waitError;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}
