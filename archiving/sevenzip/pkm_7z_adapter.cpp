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
#include "archiving/sevenzip/volume_input.h"
#include "platform/child_process.h"
#include "platform/file_io.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
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

using Failure = pkm::VolumeRunError;

[[noreturn]] void fail(int code, std::string reason)
{
    throw Failure {code, std::move(reason)};
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

std::vector<std::string> directoryEntries(const std::string& dir)
{
    int error = 0;
    std::vector<std::string> names = pkm::directoryNames(dir, error);
    if (error != 0)
        fail(error, "Cannot read directory " + dir + ": " + errnoText(error));
    return names;
}

// Runs 7zz in the input directory, its output and errors passed on through one pipe. Returns
// its wait status.
int runSevenZip(const std::vector<std::string>& arguments, const std::string& workingDir, pkm::ErrnoScanner& scanner)
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

    struct stat outStat { };
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
    const std::vector<std::string> earlier = pkm::earlierVolumes(request.outputDir, request.volumeName);
    const std::set<std::string> excluded = pkm::excludedFromInput(request.inputDir, request.outputDir, earlier);

    const pkm::InputSnapshot before(request.inputDir, excluded);
    if (before.entries() == 0)
        fail(ENOENT, "No files to add in " + request.inputDir);

    pkm::ErrnoScanner scanner;
    const std::string stagingArchive = absolutePath(joinPath(replacement->newFilesDir(), request.volumeName + ".7z"));
    const int status = runSevenZip(pkm::sevenZipArguments(request.volumeThousands, stagingArchive,
                                                          std::vector<std::string>(excluded.begin(), excluded.end())),
                                   request.inputDir, scanner);
    failIfStopped();
    if (WIFSIGNALED(status))
        fail(128 + WTERMSIG(status), "7zz ended by signal " + std::to_string(WTERMSIG(status)));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
        fail(pkm::sevenZipFailureErrno(code, scanner.last()),
             "7zz failed with exit status " + std::to_string(code) + "; the volumes were not made");
    }
    const std::string changed = before.firstChanged(pkm::InputSnapshot(request.inputDir, excluded));
    if (!changed.empty())
        fail(EAGAIN,
             "File changed while it was packed: "
                 + joinPath(request.inputDir, changed.substr(0, changed.find("\n->"))));

    std::vector<std::string> made;
    for (const std::string& name : directoryEntries(replacement->newFilesDir()))
        if (pkm::volumeNumber(name, request.volumeName) != 0)
            made.push_back(name);
    if (made.empty())
        fail(EIO, "7zz made no volume");
    // The set is read back whole before it replaces anything: a set that does not test OK
    // never takes the earlier one's place. Its output goes to the log.
    pkm::ErrnoScanner testScanner;
    const int tested = runSevenZip(
        pkm::sevenZipTestArguments(joinPath(absolutePath(replacement->newFilesDir()), made.front())), request.inputDir,
        testScanner);
    failIfStopped();
    if (!WIFEXITED(tested) || WEXITSTATUS(tested) != 0)
        fail(pkm::sevenZipFailureErrno(WIFEXITED(tested) ? WEXITSTATUS(tested) : 2, testScanner.last()),
             "The new volumes did not pass 7zz's test; the earlier ones stay");
    // An earlier, longer set's remaining volumes would be read as part of this archive.
    if (const pkm::ReplaceError committed = replacement->commit(
            made, pkm::volumesBeyond(earlier, request.volumeName, made.size())))
        fail(committed);
    // Stopped while the set moved into place: the caller sees a failure, so nothing was replaced.
    if (gSignal != 0) {
        const pkm::ReplaceError back = replacement->rollback();
        fail(128 + gSignal,
             "Stopped by signal " + std::to_string(gSignal) + "; the earlier volumes were put back"
                 + (back ? ". " + back.reason : std::string()));
    }
    if (const pkm::ReplaceError finished = replacement->finish())
        fail(finished);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    struct sigaction action { };
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
