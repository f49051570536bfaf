// The archivers' command lines, the directories as they go into them, and the double-quote check.
#include "archiving/command_lines.h"

#include "platform/paths.h"

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

std::string volumeCommandLine(const std::string& programDir, const std::string& size,
                              const std::string& outDir, const std::string& name,
                              const std::string& inDir, bool useAce)
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

std::string zipCommandLine(const std::string& programDir, const std::string& outDir,
                           const std::string& zipName, const std::vector<std::string>& files)
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

std::vector<std::string> closingLines(std::size_t filesCreated)
{
    return {"-------------------------", "File(s) created: " + std::to_string(filesCreated)};
}

} // namespace pkm
