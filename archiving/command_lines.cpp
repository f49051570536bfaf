// The archivers' command lines, the directories as they go into them, and the double-quote check.
#include "archiving/command_lines.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <algorithm>

namespace pkm {

std::string inputDirForCommand(std::string inDir)
{
    return withoutTrailingSeparator(std::move(inDir));
}

std::string outputDirForCommand(std::string outDir)
{
    return withTrailingSeparator(std::move(outDir));
}

namespace {

// Appends the end of a quoted word. Backslashes right before the closing quote would escape it
// (the stub splits by the C runtime's rules), so a trailing run of them is doubled: the
// archiver then gets the text as typed and the quote still ends the word.
void appendWordEnd(std::string& line, std::string_view text)
{
    line += text;
    const std::size_t kept = text.find_last_not_of('\\');
    const std::size_t run = kept == std::string_view::npos ? text.size() : text.size() - kept - 1;
    line.append(run, '\\');
    line += '"';
}

} // namespace

std::string volumeCommandLine(const std::string& programDir, const std::string& size, const std::string& outDir,
                              const std::string& name, const std::string& inDir, bool useAce)
{
    std::string line;
    line += '"';
    line += programDir;
    line += useAce ? "ace32\" a -y -r -m5 -v" : "rar\" a -y -r -m5 -ep1 -v";
    line += size;
    line += " \"";
    line += outDir;
    appendWordEnd(line, name);
    line += " \"";
    line += inDir;
    line += kPathSeparator;
    line += "*.*\"";
    return line;
}

std::string zipCommandLine(const std::string& programDir, const std::string& outDir, const std::string& zipName,
                           const std::vector<std::string>& files)
{
    std::string line = "\"" + programDir + "zip\" -9 -j \"" + outDir;
    appendWordEnd(line, zipName);
    line += ' ';
    for (const std::string& file : files) {
        line += '"';
        appendWordEnd(line, file);
        line += ' ';
    }
    return line;
}

std::string zipTestCommandLine(const std::string& programDir, const std::string& zipFile)
{
    std::string line = "\"" + programDir + "zip\" -T \"";
    appendWordEnd(line, zipFile);
    return line;
}

std::string zipFileMade(const std::string& outDir, const std::string& zipName)
{
    const std::string path = outDir + zipName;
    const std::size_t slash = path.find_last_of(kPathSeparator);
    const std::size_t dot = path.find('.', slash == std::string::npos ? 0 : slash + 1);
    return dot == std::string::npos ? path + ".zip" : path;
}

bool containsDoubleQuote(std::initializer_list<std::string_view> inserts)
{
    for (std::string_view text : inserts)
        if (text.find('"') != std::string_view::npos)
            return true;
    return false;
}

bool containsDoubleQuote(const std::vector<std::string>& inserts)
{
    for (const std::string& text : inserts)
        if (text.find('"') != std::string::npos)
            return true;
    return false;
}

std::string zipStatusText(int exitStatus)
{
    // zip(1), DIAGNOSTICS.
    switch (exitStatus) {
    case 2:
        return "Unexpected end of zip file.";
    case 3:
        return "A generic error in the zipfile format was detected.";
    case 4:
        return "zip was unable to allocate memory for one or more buffers.";
    case 5:
        return "A severe error in the zipfile format was detected.";
    case 6:
        return "Entry too large to be processed.";
    case 7:
        return "Invalid comment format.";
    case 8:
        return "zip -T failed or out of memory.";
    case 9:
        return "zip was interrupted.";
    case 10:
        return "zip encountered an error while using a temp file.";
    case 11:
        return "Read or seek error.";
    case 12:
        return "zip has nothing to do.";
    case 13:
        return "Missing or empty zip file.";
    case 14:
        return "Error writing to a file.";
    case 15:
        return "zip was unable to create a file to write to.";
    case 16:
        return "Bad command line parameters.";
    case 18:
        return "zip could not open a specified file to read.";
    case 19:
        return "zip was compiled with options not supported on this system.";
    default:
        break;
    }
    if (exitStatus > 128 && exitStatus < 128 + 65)
        return "zip was ended by signal " + std::to_string(exitStatus - 128) + ".";
    return "zip failed with exit status " + std::to_string(exitStatus) + ".";
}

std::string par2StatusText(int exitStatus)
{
    switch (exitStatus) {
    case 1:
        return "par2: the files are damaged; they can be repaired.";
    case 2:
        return "par2: the files are damaged; there is not enough recovery data to repair them.";
    case 3:
        return "par2: bad command line arguments.";
    case 4:
        return "par2: the recovery files are damaged too much to be used.";
    case 5:
        return "par2: the repair failed.";
    case 6:
        return "par2: a file could not be read or written.";
    case 7:
        return "par2: internal error.";
    case 8:
        return "par2: out of memory.";
    default:
        break;
    }
    if (exitStatus > 128 && exitStatus < 128 + 65)
        return "par2 was ended by signal " + std::to_string(exitStatus - 128) + ".";
    return "par2 failed with exit status " + std::to_string(exitStatus) + ".";
}

std::string recoveryCommandLine(const std::string& programDir, const std::string& dir, const std::string& series,
                                std::uint64_t largestFile, int count, const std::vector<std::string>& files)
{
    const std::uint64_t block = std::max<std::uint64_t>(4, (largestFile + 3) / 4 * 4);
    std::string line = "\"" + programDir + "par2\" create -s" + std::to_string(block) + " -c" + std::to_string(count)
        + " -n" + std::to_string(count) + " -u \"-B";
    appendWordEnd(line, withoutTrailingSeparator(dir));
    line += " -- \"" + dir;
    appendWordEnd(line, series + ".par2");
    for (const std::string& file : files) {
        line += " \"";
        appendWordEnd(line, file);
    }
    return line;
}

std::string failedRunText(ArchiverKind archiver, int exitStatus, int startError)
{
    if (startError != 0 || archiver == ArchiverKind::Volumes)
        return exitCodeText(exitStatus);
    return archiver == ArchiverKind::Zip ? zipStatusText(exitStatus) : par2StatusText(exitStatus);
}

std::string stoppedText(int signal)
{
    return "Stopped by signal " + std::to_string(signal) + "; nothing was replaced.";
}

std::vector<std::string> closingLines(std::size_t filesCreated)
{
    return {"-------------------------", "File(s) created: " + std::to_string(filesCreated)};
}

} // namespace pkm
