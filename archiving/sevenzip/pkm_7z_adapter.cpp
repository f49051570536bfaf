// The volume archiver installed as rar and ace32 in the program's directory: the Rar page's
// command line carried out by the system's 7-Zip (7zz).
//
// The volumes are whole or absent. 7zz writes them into a staging directory inside the output
// directory; only when it succeeded, and no input file changed while it read them, are they
// renamed into place and older volumes of the same name beyond the new count removed. On any
// failure (7zz's exit status, a signal, a full disk, a changed file) the staging directory goes,
// the earlier volumes stay as they were, and the exit status is an errno value whose text names
// the cause, after one line "Error: ..." saying why. 7zz's own output passes through unchanged.
#include "archiving/sevenzip/sevenzip_arguments.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

volatile sig_atomic_t gChild = 0;
volatile sig_atomic_t gSignal = 0;

// SIGINT, SIGTERM and SIGHUP end 7zz too, and the run then cleans up after it.
void forwardSignal(int signal)
{
    gSignal = signal;
    if (gChild > 0)
        ::kill(static_cast<pid_t>(gChild), signal);
}

constexpr int kForwarded[] = {SIGINT, SIGTERM, SIGHUP};

struct Failure {
    int code;
    std::string reason;
};

[[noreturn]] void fail(int code, std::string reason)
{
    throw Failure{code, std::move(reason)};
}

std::string errnoText(int code)
{
    return std::strerror(code);
}

void writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // nobody reads any more: the run goes on regardless
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

std::string joinPath(const std::string& dir, const std::string& name)
{
    return dir == "/" ? "/" + name : dir + "/" + name;
}

// The staging directory, removed with what it holds unless the volumes were moved out of it.
class Staging {
public:
    explicit Staging(const std::string& outputDir)
    {
        std::string pattern = joinPath(outputDir, ".pkm-staging-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr)
            fail(errno, "Cannot write to " + outputDir + ": " + errnoText(errno));
        path_ = pattern;
    }
    ~Staging()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string absolutePath(const std::string& path)
{
    if (!path.empty() && path.front() == '/')
        return path;
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    if (error)
        fail(error.value(), "Cannot find the working directory: " + error.message());
    return (cwd / path).string();
}

// The path of `inner` relative to `outer` when it lies inside it (both resolved), else nothing.
std::optional<std::string> pathInside(const std::string& outer, const std::string& inner)
{
    std::error_code error;
    const std::filesystem::path base = std::filesystem::canonical(outer, error);
    if (error)
        return std::nullopt;
    const std::filesystem::path target = std::filesystem::canonical(inner, error);
    if (error)
        return std::nullopt;
    auto b = base.begin();
    auto t = target.begin();
    for (; b != base.end(); ++b, ++t)
        if (t == target.end() || *b != *t)
            return std::nullopt;
    std::filesystem::path rest;
    for (; t != target.end(); ++t)
        rest /= *t;
    return rest.string();
}

std::vector<std::string> directoryEntries(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* handle = ::opendir(dir.c_str());
    if (handle == nullptr)
        fail(errno, "Cannot read directory " + dir + ": " + errnoText(errno));
    while (const dirent* entry = ::readdir(handle)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(handle);
    std::sort(names.begin(), names.end());
    return names;
}

// Size and modification time of every file 7zz reads, taken before and compared after: 7zz
// packs whatever it reads and reports success also when a file changed meanwhile.
struct FileState {
    off_t size;
    std::int64_t mtimeNs;
    bool operator==(const FileState&) const = default;
};

std::int64_t mtimeNs(const struct stat& st)
{
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

class InputSnapshot {
public:
    InputSnapshot(const std::string& inputDir, const std::set<std::string>& excluded)
        : inputDir_(inputDir), excluded_(excluded)
    {
        struct stat st {};
        if (::stat(inputDir.c_str(), &st) != 0)
            fail(errno, "Input directory " + inputDir + ": " + errnoText(errno));
        if (!S_ISDIR(st.st_mode))
            fail(ENOTDIR, "Input is not a directory: " + inputDir);
        walk(inputDir, std::string(), st);
    }

    std::size_t entries() const { return entries_; }

    // The first file whose size or modification time is not what it was, empty when none.
    std::string firstChanged() const
    {
        for (const auto& [relative, before] : files_) {
            struct stat st {};
            if (::stat(joinPath(inputDir_, relative).c_str(), &st) != 0 || !(FileState{st.st_size, mtimeNs(st)} == before))
                return relative;
        }
        return {};
    }

private:
    // Links are followed as 7zz follows them; a directory already on the way is not entered
    // again, so a loop ends here (7zz itself fails on it).
    void walk(const std::string& dir, const std::string& relative, const struct stat& dirStat)
    {
        if (!visited_.insert({dirStat.st_dev, dirStat.st_ino}).second)
            return;
        for (const std::string& name : directoryEntries(dir)) {
            const std::string childRelative = relative.empty() ? name : relative + "/" + name;
            if (excluded_.count(childRelative) != 0)
                continue;
            const std::string full = joinPath(dir, name);
            struct stat st {};
            if (::stat(full.c_str(), &st) != 0)
                continue; // a broken link: 7zz reports it
            ++entries_;
            if (S_ISDIR(st.st_mode))
                walk(full, childRelative, st);
            else if (S_ISREG(st.st_mode))
                files_[childRelative] = FileState{st.st_size, mtimeNs(st)};
        }
        visited_.erase({dirStat.st_dev, dirStat.st_ino});
    }

    std::string inputDir_;
    const std::set<std::string>& excluded_;
    std::map<std::string, FileState> files_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    std::size_t entries_ = 0;
};

// Picks the last "errno=<n>" out of 7zz's output, which is how it names a system error such as
// a full disk, so that the exit status says the same.
class ErrnoScanner {
public:
    void feed(const char* data, std::size_t size)
    {
        // The tail of the previous chunk comes first, so that a number cut by a chunk's end
        // is read whole; one read twice gives the same value.
        text_.append(data, size);
        for (std::size_t pos = text_.find("errno="); pos != std::string::npos; pos = text_.find("errno=", pos + 1)) {
            std::size_t end = pos + 6;
            int value = 0;
            while (end < text_.size() && end < pos + 10 && text_[end] >= '0' && text_[end] <= '9')
                value = value * 10 + (text_[end++] - '0');
            if (end < text_.size() && end > pos + 6 && value > 0 && value < 256)
                last_ = value;
        }
        if (text_.size() > kKept)
            text_.erase(0, text_.size() - kKept);
    }
    int last() const { return last_; }

private:
    static constexpr std::size_t kKept = 16;
    std::string text_;
    int last_ = 0;
};

// Runs 7zz in the input directory, its output and errors passed on through one pipe. Returns
// its wait status.
int runSevenZip(const std::vector<std::string>& arguments, const std::string& workingDir, ErrnoScanner& scanner)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        fail(errno, "Cannot make a pipe: " + errnoText(errno));

    std::vector<std::string> words {"7zz"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    // A signal that came before 7zz started is forwarded once it exists.
    sigset_t forwarded, previous;
    sigemptyset(&forwarded);
    for (int signal : kForwarded)
        sigaddset(&forwarded, signal);
    sigprocmask(SIG_BLOCK, &forwarded, &previous);
    pid_t child = 0;
    const int spawnError = ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeFds[1]);
    if (spawnError == 0) {
        gChild = child;
        if (gSignal != 0)
            ::kill(child, gSignal);
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (spawnError != 0) {
        ::close(pipeFds[0]);
        fail(spawnError, "Cannot run 7zz (Debian package 7zip): " + errnoText(spawnError));
    }

    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        writeAll(STDOUT_FILENO, buffer, static_cast<std::size_t>(got));
        scanner.feed(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);

    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            fail(errno, "Cannot wait for 7zz: " + errnoText(errno));
    gChild = 0;
    return status;
}

int run(int argc, char** argv)
{
    const pkm::VolumeRequestParse parsed = pkm::parseVolumeCommand(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.request)
        fail(EINVAL, parsed.error);
    const pkm::VolumeRequest& request = *parsed.request;

    struct stat outStat {};
    if (::stat(request.outputDir.c_str(), &outStat) != 0)
        fail(errno, "Output directory " + request.outputDir + ": " + errnoText(errno));
    if (!S_ISDIR(outStat.st_mode))
        fail(ENOTDIR, "Output is not a directory: " + request.outputDir);

    // The volumes of an earlier run and the staging directory stay out of the input when the
    // output lies inside it.
    std::set<std::string> excluded;
    std::vector<std::string> earlierVolumes;
    for (const std::string& name : directoryEntries(request.outputDir))
        if (pkm::volumeNumber(name, request.volumeName) != 0)
            earlierVolumes.push_back(name);
    const Staging staging(request.outputDir);
    const std::string stagingName = std::filesystem::path(staging.path()).filename().string();
    if (const auto inside = pathInside(request.inputDir, request.outputDir)) {
        const std::string prefix = inside->empty() ? std::string() : *inside + "/";
        excluded.insert(prefix + stagingName);
        for (const std::string& name : earlierVolumes)
            excluded.insert(prefix + name);
    }

    const InputSnapshot snapshot(request.inputDir, excluded);
    if (snapshot.entries() == 0)
        fail(ENOENT, "No files to add in " + request.inputDir);

    ErrnoScanner scanner;
    const std::string stagingArchive = absolutePath(joinPath(staging.path(), request.volumeName + ".7z"));
    const int status = runSevenZip(pkm::sevenZipArguments(request.volumeKiB, stagingArchive,
                                                          std::vector<std::string>(excluded.begin(), excluded.end())),
                                   request.inputDir, scanner);
    if (gSignal != 0)
        fail(128 + gSignal, std::string("Stopped by signal ") + std::to_string(gSignal) + "; the volumes were not made");
    if (WIFSIGNALED(status))
        fail(128 + WTERMSIG(status), "7zz ended by signal " + std::to_string(WTERMSIG(status)));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
        // 7zz: 1 warnings (a file it could not read), 2 fatal error, 7 command line, 8 memory.
        const int errnoValue = scanner.last() != 0 ? scanner.last() : code == 8 ? ENOMEM : code == 7 ? EINVAL : EIO;
        fail(errnoValue, "7zz failed with exit status " + std::to_string(code) + "; the volumes were not made");
    }
    const std::string changed = snapshot.firstChanged();
    if (!changed.empty())
        fail(EAGAIN, "File changed while it was packed: " + joinPath(request.inputDir, changed));

    std::vector<std::string> made;
    for (const std::string& name : directoryEntries(staging.path()))
        if (pkm::volumeNumber(name, request.volumeName) != 0)
            made.push_back(name);
    if (made.empty())
        fail(EIO, "7zz made no volume");
    for (const std::string& name : made)
        if (::rename(joinPath(staging.path(), name).c_str(), joinPath(request.outputDir, name).c_str()) != 0)
            fail(errno, "Cannot move " + name + " into " + request.outputDir + ": " + errnoText(errno));
    // An earlier, longer set's remaining volumes would be read as part of this archive.
    for (const std::string& name : earlierVolumes)
        if (pkm::volumeNumber(name, request.volumeName) > made.size())
            ::unlink(joinPath(request.outputDir, name).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : kForwarded)
        sigaction(signal, &action, nullptr);
    // The output goes on to a reader that may be gone; 7zz must not die of that either.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return run(argc, argv);
    } catch (const Failure& failure) {
        const std::string line = "Error: " + failure.reason + "\n";
        writeAll(STDOUT_FILENO, line.data(), line.size());
        return failure.code > 0 && failure.code < 256 ? failure.code : 1;
    } catch (const std::exception& e) {
        const std::string line = std::string("Error: ") + e.what() + "\n";
        writeAll(STDOUT_FILENO, line.data(), line.size());
        return 1;
    }
}
