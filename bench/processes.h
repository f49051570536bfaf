#pragma once
// What the whole-process benchmarks share: a program run to its end, and the median of times.
#include <algorithm>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pkm::bench {

// Runs the program in `workDir` to its end, its output to `output` and its errors to /dev/null;
// false when it failed.
inline bool runProcess(const std::vector<std::string>& argv, const std::string& workDir = ".",
                       const std::string& output = "/dev/null")
{
    std::vector<char*> words;
    for (const std::string& word : argv)
        words.push_back(const_cast<char*>(word.c_str()));
    words.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = ::open("/dev/null", O_WRONLY);
        if (out < 0 || null < 0 || ::dup2(out, 1) < 0 || ::dup2(null, 2) < 0 || ::chdir(workDir.c_str()) != 0)
            ::_exit(126);
        ::execv(words[0], words.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace pkm::bench
