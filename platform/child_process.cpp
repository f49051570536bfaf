// startChild: fork and exec, the child tied to its parent's life, exec failures reported back.
#include "platform/child_process.h"

#include <cerrno>
#include <fcntl.h>
#include <initializer_list>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

extern char** environ;

namespace pkm {

bool endWithParent(int signal, pid_t parent)
{
#ifdef __linux__
    if (::prctl(PR_SET_PDEATHSIG, signal) != 0)
        return false;
#else
    (void)signal;
#endif
    // The parent may have ended before the request was made: then nobody would send it.
    return ::getppid() == parent;
}

pid_t startChild(const ChildLaunch& launch, int& error, volatile sig_atomic_t* childSlot)
{
    error = 0;
    if (launch.argv.empty() || launch.argv.front().empty()) {
        error = EINVAL;
        return -1;
    }
    // Everything the child needs, built before fork: between fork and exec only
    // async-signal-safe calls are made.
    std::vector<std::string> words = launch.argv;
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    // The environment: this process's, with the launch's variables put over it.
    std::vector<std::string> variables;
    std::vector<char*> envp;
    if (!launch.environment.empty()) {
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string_view entry(*variable);
            const std::string_view name = entry.substr(0, entry.find('='));
            bool replaced = false;
            for (const auto& [set, value] : launch.environment)
                replaced = replaced || set == name;
            if (!replaced)
                variables.emplace_back(entry);
        }
        for (const auto& [name, value] : launch.environment)
            variables.push_back(name + "=" + value);
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
    }
    char** const childEnvironment = envp.empty() ? environ : envp.data();

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = errno;
        return -1;
    }
    // No handler of ours may run in the child, and a signal that comes now reaches the child
    // only once it knows its pid.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::sigprocmask(SIG_SETMASK, &all, &previous);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        int failure = 0;
        if (!endWithParent(launch.parentDeathSignal, parent))
            ::_exit(128 + launch.parentDeathSignal);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD, SIGQUIT})
            ::signal(signal, SIG_DFL);
        if (launch.ignorePipeSignal)
            ::signal(SIGPIPE, SIG_IGN);
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        if (!launch.workingDir.empty() && ::chdir(launch.workingDir.c_str()) != 0)
            failure = errno;
        if (failure == 0 && launch.outputFd >= 0
            && (::dup2(launch.outputFd, STDOUT_FILENO) < 0 || ::dup2(launch.outputFd, STDERR_FILENO) < 0))
            failure = errno;
        if (failure == 0 && launch.inputFd >= 0 && ::dup2(launch.inputFd, STDIN_FILENO) < 0)
            failure = errno;
        for (const int fd : launch.inheritedFds) {
            if (failure == 0 && ::fcntl(fd, F_SETFD, 0) != 0)
                failure = errno;
        }
        if (failure == 0) {
            if (launch.searchPath)
                ::execvpe(argv[0], argv.data(), childEnvironment);
            else
                ::execve(argv[0], argv.data(), childEnvironment);
            failure = errno;
        }
        while (::write(report[1], &failure, sizeof failure) < 0 && errno == EINTR) { }
        ::_exit(127);
    }
    const int forkError = child < 0 ? errno : 0;
    if (child > 0 && childSlot != nullptr)
        *childSlot = static_cast<sig_atomic_t>(child);
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        error = forkError;
        return -1;
    }
    // The report pipe closes at exec; an errno comes through it when exec failed.
    int failure = 0;
    ssize_t got;
    while ((got = ::read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) { }
    ::close(report[0]);
    if (got == static_cast<ssize_t>(sizeof failure)) {
        waitForChild(child);
        if (childSlot != nullptr)
            *childSlot = 0;
        error = failure != 0 ? failure : ENOEXEC;
        return -1;
    }
    return child;
}

void replaceProcess(const std::string& program, char** argv)
{
    ::execv(program.c_str(), argv);
}

int waitForChild(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

} // namespace pkm
