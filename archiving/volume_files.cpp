// VolumeBaseName, where a run's volume files lie, their count and the pattern that picks them.
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

VolumeLocation locateVolumes(const std::string& outDir, const std::string& volumeName)
{
    // The volume name may carry a directory part of its own, relative to outDir.
    const std::string pattern = withTrailingSeparator(outDir) + VolumeBaseName(volumeName);
    const std::size_t cut = pattern.find_last_of(kPathSeparator);
    return {pattern.substr(0, cut + 1), pattern.substr(cut + 1)};
}

std::size_t countVolumeFiles(const std::string& outDir, const std::string& volumeName)
{
    const VolumeLocation volumes = locateVolumes(outDir, volumeName);
    DIR* handle = ::opendir(volumes.directory.c_str());
    if (handle == nullptr)
        return 0;
    std::size_t count = 0;
    while (const dirent* entry = ::readdir(handle))
        if (matchesVolumePattern(entry->d_name, volumes.base))
            ++count;
    ::closedir(handle);
    return count;
}

std::string volumeFilterPattern(const std::string& base)
{
    if (base.empty())
        return std::string();
    std::string pattern;
    for (const char c : base) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xC0)
            continue; // the rest of a UTF-8 character, whose lead byte became "?"
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
            || std::string_view("_.,+#-@!$%&=~").find(c) != std::string_view::npos;
        pattern += plain ? c : '?';
    }
    return pattern + ".*";
}

} // namespace pkm
