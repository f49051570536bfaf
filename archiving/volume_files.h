#pragma once
// The volume files of a run: their base name, where they lie and how many the output directory
// holds.
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

// Where the volumes of a run lie: the output directory, or a folder inside it when the volume
// name carries one (ending in a separator), and their base name.
struct VolumeLocation {
    std::string directory;
    std::string base;
};
VolumeLocation locateVolumes(const std::string& outDir, const std::string& volumeName);

// A file-dialog pattern that picks "<base>.*". Characters a dialog's filter cannot hold (blanks
// split patterns; brackets, quotes and wildcards have meanings of their own) become "?", which
// matches any one character; so does each character beyond ASCII. Empty for an empty base.
std::string volumeFilterPattern(const std::string& base);

} // namespace pkm
