#include "platform/paths.h"

#include <sys/stat.h>

namespace pkm {

bool endsWithSeparator(std::string_view path)
{
    return !path.empty() && path.back() == kPathSeparator;
}

std::string withTrailingSeparator(std::string path)
{
    if (!endsWithSeparator(path))
        path += kPathSeparator;
    return path;
}

std::string withoutTrailingSeparator(std::string path)
{
    if (endsWithSeparator(path))
        path.pop_back();
    return path;
}

std::string fileNameOf(const std::string& path)
{
    const auto pos = path.find_last_of(kPathSeparator);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

bool DirectoryPresent(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FilePresent(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

} // namespace pkm
