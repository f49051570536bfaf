#pragma once
// The volume files of a run: their base name and how many the output directory holds.
#include <cstddef>
#include <string>
#include <string_view>

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


} // namespace pkm
