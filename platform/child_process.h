#pragma once
// Child processes that end with their parent. The stub and the 7-Zip adapter start their
// archivers through this: the child is sent a signal when the process that started it ends for
// any reason (a kill -9 included), so no archiver runs on after the program that wanted it.
#include <csignal>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace pkm {

struct ChildLaunch {
    // argv[0] is the program: a path, or a name looked up in PATH when searchPath is set.
    std::vector<std::string> argv;
    bool searchPath = false;
    // The working directory; empty for this process's own.
    std::string workingDir;
    // Standard output and standard error both go to this descriptor when it is not -1.
    int outputFd = -1;
    // Sent to the child when this process ends.
    int parentDeathSignal = SIGTERM;
    // The child starts with SIGPIPE ignored: a write to a reader that is gone fails instead of
    // killing it, so it ends through its own clean-up (when it is then told to stop).
    bool ignorePipeSignal = false;
    // Standard input comes from this descriptor when it is not -1.
    int inputFd = -1;
    // Descriptors the child keeps open across exec, close-on-exec or not here.
    std::vector<int> inheritedFds {};
    // Variables set in the child's environment, over those of this process.
    std::vector<std::pair<std::string, std::string>> environment {};
};

// Starts the child and returns its process id, or -1 with `error` set to the errno value of the
// failure (a program that cannot be executed included). `childSlot`, when given, holds the id
// before any signal that came in the meantime is delivered, so a handler that forwards signals
// to it never misses the child.
pid_t startChild(const ChildLaunch& launch, int& error, volatile sig_atomic_t* childSlot = nullptr);

// Runs `program` in place of this process, with the same process id and these arguments; returns
// only when it could not, with errno set.
void replaceProcess(const std::string& program, char** argv);

// Waits for the child, through interruptions by signals; its wait status, or -1 with errno.
int waitForChild(pid_t child);

// For a child about to run a program (between fork and exec; async-signal-safe): `signal` is
// sent to it when its parent ends. False when the parent `parent` has already gone.
bool endWithParent(int signal, pid_t parent);

} // namespace pkm
