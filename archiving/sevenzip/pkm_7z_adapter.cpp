// The volume archiver installed as rar and ace32 in the program's directory: the Rar page's
// command line carried out by the system's 7-Zip (7zz).
//
// The volumes are whole or absent. 7zz writes them into a staging folder inside the output
// directory; only when it succeeded, and nothing in the input changed while it was read, do
// they replace the earlier set of that name as a whole (older volumes beyond the new count go
// with it), and a failure part-way puts the earlier set back (SetReplacement). On any failure
// (7zz's exit status, a signal, a full disk, a changed file) the earlier volumes stay as they
// were, and the exit status is an errno value whose text names the cause, after one line
// "Error: ..." saying why. 7zz's own output passes through unchanged.
//
// The input is what lies inside the input directory: a link that leads out of it fails the
// run, and links that lead into one folder again and again are bounded. 7zz ends with the
// adapter, however the adapter ends.
#include "archiving/set_replacement.h"
#include "archiving/sevenzip/sevenzip_arguments.h"
#include "platform/child_process.h"
#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>


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

// How often links may lead into one folder before the input counts as a trap: every real
// folder is walked (and packed) once for each way into it.
constexpr int kMaxWaysIntoFolder = 16;

struct Failure {
    int code;
    std::string reason;
};

[[noreturn]] void fail(int code, std::string reason)
{
    throw Failure{code, std::move(reason)};
}

[[noreturn]] void fail(const pkm::ReplaceError& error)
{
    fail(error.code, error.reason);
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

std::optional<std::string> canonical(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return std::nullopt;
    return std::string(resolved);
}

// The path of `inner` relative to `outer` when it lies inside it (both resolved), else nothing.
std::optional<std::string> pathInside(const std::string& outer, const std::string& inner)
{
    const std::optional<std::string> base = canonical(outer);
    const std::optional<std::string> target = canonical(inner);
    if (!base || !target)
        return std::nullopt;
    if (*target == *base)
        return std::string();
    const std::string prefix = *base == "/" ? "/" : *base + "/";
    if (target->compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    return target->substr(prefix.size());
}

std::vector<std::string> directoryEntries(const std::string& dir)
{
    int error = 0;
    std::vector<std::string> names = pkm::directoryNames(dir, error);
    if (error != 0)
        fail(error, "Cannot read directory " + dir + ": " + errnoText(error));
    return names;
}

// What 7zz reads of one entry, taken before and compared after: 7zz packs whatever it reads
// and reports success also when a file changed meanwhile.
struct EntryState {
    char kind = '?'; // 'f' file, 'd' folder, 'l' link, '?' anything else
    off_t size = 0;
    std::int64_t mtimeNs = 0;
    dev_t device = 0;
    ino_t inode = 0;
    std::string linkTarget;
    bool operator==(const EntryState&) const = default;
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
        const std::optional<std::string> root = canonical(inputDir);
        if (!root)
            fail(errno, "Input directory " + inputDir + ": " + errnoText(errno));
        root_ = *root;
        walk(inputDir, std::string(), st);
    }

    std::size_t entries() const { return entries_.size(); }

    // The first entry that is not what it was, empty when none.
    std::string firstChanged(const InputSnapshot& after) const
    {
        auto b = entries_.begin();
        auto a = after.entries_.begin();
        for (; b != entries_.end() && a != after.entries_.end(); ++b, ++a) {
            if (b->first != a->first)
                return std::min(b->first, a->first);
            if (!(b->second == a->second))
                return b->first;
        }
        if (b != entries_.end())
            return b->first;
        if (a != after.entries_.end())
            return a->first;
        return {};
    }

private:
    bool inside(const std::string& path) const
    {
        return path == root_ || path.compare(0, root_.size() + 1, root_ == "/" ? "/" : root_ + "/") == 0;
    }

    // Links are followed as 7zz follows them; a folder already on the way is not entered
    // again, so a loop ends here (7zz itself fails on it).
    void walk(const std::string& dir, const std::string& relative, const struct stat& dirStat)
    {
        const std::pair<dev_t, ino_t> id {dirStat.st_dev, dirStat.st_ino};
        if (!onTheWay_.insert(id).second)
            return;
        if (++waysInto_[id] > kMaxWaysIntoFolder)
            fail(ELOOP, "Links lead into " + dir + " more than " + std::to_string(kMaxWaysIntoFolder) + " times");
        for (const std::string& name : directoryEntries(dir)) {
            const std::string childRelative = relative.empty() ? name : relative + "/" + name;
            if (excluded_.count(childRelative) != 0 || pkm::isRunsOwnName(name))
                continue;
            const std::string full = joinPath(dir, name);
            struct stat st {};
            if (::lstat(full.c_str(), &st) != 0)
                continue; // gone meanwhile: the comparison afterwards notices
            EntryState state;
            if (S_ISLNK(st.st_mode)) {
                state.kind = 'l';
                std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
                const ssize_t length = ::readlink(full.c_str(), target.data(), target.size());
                state.linkTarget.assign(target.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
                const std::optional<std::string> resolved = canonical(full);
                if (resolved && !inside(*resolved))
                    fail(EPERM, "The link " + full + " leads outside the input directory, to " + *resolved);
                entries_[childRelative] = state;
                if (!resolved || ::stat(full.c_str(), &st) != 0)
                    continue; // a broken link: 7zz reports it
            }
            if (S_ISDIR(st.st_mode)) {
                if (state.kind != 'l')
                    entries_[childRelative] = EntryState {'d', 0, 0, 0, 0, {}};
                walk(full, childRelative, st);
                continue;
            }
            const EntryState content {S_ISREG(st.st_mode) ? 'f' : '?', st.st_size, mtimeNs(st), st.st_dev, st.st_ino, {}};
            if (state.kind == 'l')
                entries_[childRelative + "\n->"] = content; // what the link leads to
            else
                entries_[childRelative] = content;
        }
        onTheWay_.erase(id);
    }

    std::string inputDir_;
    std::string root_;
    const std::set<std::string>& excluded_;
    std::map<std::string, EntryState> entries_;
    std::set<std::pair<dev_t, ino_t>> onTheWay_;
    std::map<std::pair<dev_t, ino_t>, int> waysInto_;
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
    int startError = 0;
    // 7zz ends with the adapter: whatever it leaves is in the staging folder, which goes.
    const pid_t child = pkm::startChild({words, true, workingDir, pipeFds[1], SIGKILL}, startError, &gChild);
    ::close(pipeFds[1]);
    if (child < 0) {
        ::close(pipeFds[0]);
        fail(startError, "Cannot run 7zz (Debian package 7zip): " + errnoText(startError));
    }
    // A signal that came while 7zz started is passed on now.
    if (gSignal != 0)
        ::kill(child, gSignal);

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

    const int status = pkm::waitForChild(child);
    gChild = 0;
    if (status < 0)
        fail(errno, "Cannot wait for 7zz: " + errnoText(errno));
    return status;
}

void failIfStopped()
{
    if (gSignal != 0)
        fail(128 + gSignal, "Stopped by signal " + std::to_string(gSignal) + "; the volumes were not made");
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

    // The output directory is this run's until it ends; a dead run's replacement is undone
    // first, so the earlier volumes below are the real earlier set.
    pkm::ReplaceError error;
    const std::unique_ptr<pkm::SetReplacement> replacement = pkm::SetReplacement::begin(request.outputDir, error);
    if (!replacement)
        fail(error);

    // The volumes of an earlier run stay out of the input when the output lies inside it.
    std::set<std::string> excluded;
    std::vector<std::string> earlierVolumes;
    for (const std::string& name : directoryEntries(request.outputDir)) {
        if (pkm::volumeNumber(name, request.volumeName) == 0)
            continue;
        // A folder named like a volume could be neither replaced nor removed with the set:
        // said before 7zz spends its time.
        struct stat st {};
        const std::string path = joinPath(request.outputDir, name);
        if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            fail(EISDIR, "Cannot replace " + path + ": it is a directory");
        earlierVolumes.push_back(name);
    }
    if (const auto inside = pathInside(request.inputDir, request.outputDir)) {
        const std::string prefix = inside->empty() ? std::string() : *inside + "/";
        for (const std::string& name : earlierVolumes)
            excluded.insert(prefix + name);
    }

    const InputSnapshot before(request.inputDir, excluded);
    if (before.entries() == 0)
        fail(ENOENT, "No files to add in " + request.inputDir);

    ErrnoScanner scanner;
    const std::string stagingArchive = absolutePath(joinPath(replacement->newFilesDir(), request.volumeName + ".7z"));
    const int status = runSevenZip(pkm::sevenZipArguments(request.volumeKiB, stagingArchive,
                                                          std::vector<std::string>(excluded.begin(), excluded.end())),
                                   request.inputDir, scanner);
    failIfStopped();
    if (WIFSIGNALED(status))
        fail(128 + WTERMSIG(status), "7zz ended by signal " + std::to_string(WTERMSIG(status)));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
        // 7zz: 1 warnings (a file it could not read), 2 fatal error, 7 command line, 8 memory.
        const int errnoValue = scanner.last() != 0 ? scanner.last() : code == 8 ? ENOMEM : code == 7 ? EINVAL : EIO;
        fail(errnoValue, "7zz failed with exit status " + std::to_string(code) + "; the volumes were not made");
    }
    const std::string changed = before.firstChanged(InputSnapshot(request.inputDir, excluded));
    if (!changed.empty())
        fail(EAGAIN, "File changed while it was packed: "
                         + joinPath(request.inputDir, changed.substr(0, changed.find("\n->"))));

    std::vector<std::string> made;
    for (const std::string& name : directoryEntries(replacement->newFilesDir()))
        if (pkm::volumeNumber(name, request.volumeName) != 0)
            made.push_back(name);
    if (made.empty())
        fail(EIO, "7zz made no volume");
    // An earlier, longer set's remaining volumes would be read as part of this archive.
    std::vector<std::string> removed;
    for (const std::string& name : earlierVolumes)
        if (pkm::volumeNumber(name, request.volumeName) > made.size())
            removed.push_back(name);
    if (const pkm::ReplaceError committed = replacement->commit(made, removed))
        fail(committed);
    // Stopped while the set moved into place: the caller sees a failure, so nothing was replaced.
    if (gSignal != 0) {
        const pkm::ReplaceError back = replacement->rollback();
        fail(128 + gSignal, "Stopped by signal " + std::to_string(gSignal) + "; the earlier volumes were put back"
                                + (back ? ". " + back.reason : std::string()));
    }
    if (const pkm::ReplaceError finished = replacement->finish())
        fail(finished);
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
