#pragma once
// What the volume run does after the archiver: count the volumes, keep the log readable,
// and word an exit code.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

// The volume name without its extension: cut at the first period when there is a period after
// the last separator ("my.rel.old" -> "my"), else the whole name.
std::string VolumeBaseName(const std::string& name);

// True when a directory entry's name matches "<base>.*": the base, a period, then anything.
// "." and ".." are the directory itself and its parent, never volumes.
bool matchesVolumePattern(std::string_view entryName, std::string_view base);

// The number of entries of outDir (ending in a separator or not) matching "<base>.*" with the
// base taken from the volume name; directories and dot files count, case matters; 0 when the
// directory cannot be read.
std::size_t countVolumeFiles(const std::string& outDir, const std::string& volumeName);

// The log rule for one new output line: a line containing "%" is a progress state and replaces
// the last four characters of the log's last line (the whole line when it is shorter); any
// other line is appended.
void addLogLine(std::vector<std::string>& log, const std::string& line);

// The system's text for an exit code, with trailing blanks, control characters and periods
// removed, then one period.
std::string exitCodeText(int code);

} // namespace pkm
