// The checks of a received series, one file after the other, then the volumes as one set.
#include "app/verify_command.h"

#include "archiving/series_checks.h"
#include "archiving/sevenzip/sevenzip_arguments.h"
#include "platform/child_process.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "templates/info_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <ostream>
#include <sys/wait.h>
#include <unistd.h>

namespace pkm {

namespace {

struct Run {
    bool started = false;
    int status = -1;    // the exit status, or 128 + a signal
    std::string output; // standard output and error together
};

// A checker run with its output kept, to show when it fails.
Run runChecker(const std::vector<std::string>& argv, bool searchPath, const std::string& workingDir = {})
{
    Run run;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        run.output = std::strerror(errno);
        return run;
    }
    int error = 0;
    const pid_t child = startChild({argv, searchPath, workingDir, pipeFds[1], SIGTERM}, error);
    ::close(pipeFds[1]);
    if (child < 0) {
        ::close(pipeFds[0]);
        run.output = "Cannot run " + argv.front() + ": " + std::strerror(error);
        return run;
    }
    run.started = true;
    run.output = readToEnd(pipeFds[0]);
    ::close(pipeFds[0]);
    const int status = waitForChild(child);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return run;
}

// The last line of a checker's output that says something.
std::string lastWords(const std::string& output)
{
    std::string text = output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    const std::size_t start = text.find_last_of("\r\n");
    return start == std::string::npos ? text : text.substr(start + 1);
}

std::string hex(std::uint32_t crc)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08X", crc);
    return text;
}

enum class State {
    Ok,
    Bad,
    Missing
};

struct FileCheck {
    State state = State::Ok;
    std::string note;
};

FileCheck checkFile(const std::string& programDir, const std::string& path, std::uint32_t expected)
{
    if (!FilePresent(path))
        return {State::Missing, {}};
    int error = 0;
    const std::optional<std::uint32_t> crc = fileCrc32(path, error);
    if (!crc)
        return {State::Bad, std::strerror(error)};
    if (*crc != expected)
        return {State::Bad, "CRC " + hex(*crc) + ", expected " + hex(expected)};
    // The CRC says the bytes are the ones sent; zip's test says they are a sound zip.
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".zip") == 0) {
        const Run tested = runChecker({programDir + "zip", "-T", path}, false);
        if (!tested.started)
            return {State::Bad, tested.output};
        if (tested.status != 0)
            return {State::Bad, "zip -T: " + lastWords(tested.output)};
    }
    return {};
}

struct Tally {
    int ok = 0;
    int bad = 0;
    int missing = 0;
};

Tally checkAll(const std::string& programDir, const std::string& directory, const std::vector<ChecksumLine>& lines,
               std::ostream& out)
{
    Tally tally;
    for (const ChecksumLine& line : lines) {
        const FileCheck check = checkFile(programDir, directory + line.name, line.crc);
        switch (check.state) {
        case State::Ok:
            ++tally.ok;
            out << "OK       " << line.name << '\n';
            break;
        case State::Bad:
            ++tally.bad;
            out << "BAD      " << line.name << " (" << check.note << ")\n";
            break;
        case State::Missing:
            ++tally.missing;
            out << "MISSING  " << line.name << '\n';
            break;
        }
    }
    return tally;
}

// The volumes the zips carry, taken out into a temporary folder and tested from their first.
// Empty when all is well (or the zips carry no volumes), else why not.
std::string checkVolumes(const std::string& directory, const std::vector<ChecksumLine>& lines, std::ostream& out)
{
    std::string scratch = (std::filesystem::temp_directory_path() / "pakmaster-verify-XXXXXX").string();
    if (::mkdtemp(scratch.data()) == nullptr)
        return std::string("cannot make a temporary folder: ") + std::strerror(errno);
    struct Removed {
        std::string path;
        ~Removed()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } removed {scratch};
    for (const ChecksumLine& line : lines) {
        const std::string zip = directory + line.name;
        if (!FilePresent(zip) || line.name.size() < 4 || line.name.compare(line.name.size() - 4, 4, ".zip") != 0)
            continue;
        const Run taken = runChecker({"7zz", "e", "-y", "-bd", "-o" + scratch, "--", zip, "*.7z.*"}, true);
        if (!taken.started)
            return taken.output;
        if (taken.status != 0)
            return "7zz could not take the volumes out of " + line.name + ": " + lastWords(taken.output);
    }
    // The first volume of each set the zips carried.
    int error = 0;
    std::vector<std::string> firsts;
    for (const std::string& name : directoryNames(scratch, error)) {
        if (name.size() > 7 && name.compare(name.size() - 7, 7, ".7z.001") == 0)
            firsts.push_back(name);
    }
    if (firsts.empty())
        return {};
    for (const std::string& first : firsts) {
        const Run tested = runChecker({"7zz", "t", "-y", "-bd", "--", scratch + "/" + first}, true);
        if (!tested.started)
            return tested.output;
        if (tested.status != 0)
            return "7zz t " + first + ": " + lastWords(tested.output);
        out << "OK       volumes " << first.substr(0, first.size() - 4) << ".* tested as one set\n";
    }
    return {};
}

} // namespace

int RunVerify(const VerifyOptions& options, const std::string& programDir, std::ostream& out, std::ostream& err)
{
    const std::string& sfv = options.checksumFile;
    const FileRead read = readInputFile(sfv);
    if (!read.bytes) {
        printFailure(err, kInputErrorCaption, InputFailureText(sfv, read.failure));
        return 1;
    }
    std::size_t badLine = 0;
    const std::optional<std::vector<ChecksumLine>> lines = parseChecksumFile(*read.bytes, badLine);
    if (!lines) {
        printFailure(err, kInputErrorCaption, sfv + ':' + std::to_string(badLine) + ": a line of NAME CRC32 expected");
        return 1;
    }
    // From the root: the repair runs in the series' folder.
    const std::string whole = absolutePath(sfv);
    const std::string directory = whole.substr(0, whole.find_last_of(kPathSeparator) + 1);
    Tally tally = checkAll(programDir, directory, *lines, out);

    const std::string recovery = directory + seriesOfChecksumFile(sfv) + ".par2";
    if (options.repair && (tally.bad > 0 || tally.missing > 0)) {
        if (!FilePresent(recovery)) {
            out << "No recovery data: " << recovery << " is missing.\n";
        } else {
            out << "Repairing with " << recovery << " ...\n";
            const Run repaired = runChecker({programDir + "par2", "repair", "-q", "--", recovery}, false, directory);
            if (!repaired.started || repaired.status != 0)
                out << "The repair failed: " << lastWords(repaired.output) << '\n';
            // par2 keeps what it replaced beside the file it rebuilt.
            for (const ChecksumLine& line : *lines) {
                if (FilePresent(directory + line.name + ".1"))
                    out << "The damaged " << line.name << " is kept as " << line.name << ".1\n";
            }
            tally = checkAll(programDir, directory, *lines, out);
        }
    }

    std::string volumes;
    if (tally.bad == 0 && tally.missing == 0)
        volumes = checkVolumes(directory, *lines, out);
    if (!volumes.empty())
        out << "BAD      volumes (" << volumes << ")\n";
    out << lines->size() << " files: " << tally.ok << " OK, " << tally.bad << " BAD, " << tally.missing << " MISSING"
        << (volumes.empty() ? "" : "; the volumes do not test OK") << '\n';
    return tally.bad == 0 && tally.missing == 0 && volumes.empty() ? 0 : 1;
}

} // namespace pkm
