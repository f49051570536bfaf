// PKM.DLL: runs one command line for the program and passes on its exit status.
//
// Its one argument is "?" followed by the command line. The line is split into words by the
// Windows rules (no shell is involved), the first word is started as the program with the
// others as its arguments, sharing this process's standard input, output and error, and the
// stub exits with the program's status: its exit code, 128 + the signal number when a signal
// ended it, or the errno value when it could not be started (after a line saying why).
#include "archiving/command_line_split.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] != '?') {
        std::fprintf(stderr, "PKM.DLL: expected one argument: ? followed by a command line\n");
        return EINVAL;
    }
    std::vector<std::string> words = pkm::splitCommandLine(argv[1] + 1);
    if (words.empty() || words.front().empty()) {
        std::fprintf(stderr, "PKM.DLL: no program to run\n");
        return EINVAL;
    }

    std::vector<char*> args;
    for (std::string& word : words)
        args.push_back(word.data());
    args.push_back(nullptr);

    // Our output is a pipe: anything of ours must be out before the program writes.
    std::fflush(stdout);
    std::fflush(stderr);

    pid_t child = 0;
    const int spawnError = ::posix_spawn(&child, args[0], nullptr, nullptr, args.data(), environ);
    if (spawnError != 0) {
        std::fprintf(stdout, "Cannot run %s: %s\n", args[0], std::strerror(spawnError));
        std::fflush(stdout);
        return spawnError;
    }

    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            const int waitError = errno;
            std::fprintf(stdout, "Cannot wait for %s: %s\n", args[0], std::strerror(waitError));
            return waitError;
        }
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}
