// VolumeBaseName and the count of a run's volume files in its output directory.
#include "archiving/volume_files.h"

#include "platform/paths.h"

#include <dirent.h>

namespace pkm {

std::string VolumeBaseName(const std::string& name)
{
    const std::size_t lastSeparator = name.find_last_of(kPathSeparator);
    const std::size_t fileStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
    if (name.find('.', fileStart) == std::string::npos)
        return name;
    return name.substr(0, name.find('.'));
}

bool matchesVolumePattern(std::string_view entryName, std::string_view base)
{
    if (entryName == "." || entryName == "..")
        return false;
    return entryName.size() > base.size() && entryName.compare(0, base.size(), base) == 0
        && entryName[base.size()] == '.';
}

std::size_t countVolumeFiles(const std::string& outDir, const std::string& volumeName)
{
    // The volume name may carry a directory part of its own, relative to outDir.
    const std::string pattern = withTrailingSeparator(outDir) + VolumeBaseName(volumeName);
    const std::size_t cut = pattern.find_last_of(kPathSeparator);
    const std::string dir = pattern.substr(0, cut + 1);
    const std::string base = pattern.substr(cut + 1);

    DIR* handle = ::opendir(dir.c_str());
    if (handle == nullptr)
        return 0;
    std::size_t count = 0;
    while (const dirent* entry = ::readdir(handle))
        if (matchesVolumePattern(entry->d_name, base))
            ++count;
    ::closedir(handle);
    return count;
}

} // namespace pkm
