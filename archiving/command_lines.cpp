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
    line += name;
    line += "\" \"";
    line += inDir;
    line += kPathSeparator;
    line += "*.*\"";
    return line;
}

std::string zipCommandLine(const std::string& programDir, const std::string& outDir,
                           const std::string& zipName, const std::vector<std::string>& files)
{
    std::string line = "\"" + programDir + "zip\" -9 -j \"" + outDir + zipName + "\" ";
    for (const std::string& file : files) {
        line += '"';
        line += file;
        line += "\" ";
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

} // namespace pkm
