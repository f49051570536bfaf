#include "platform/paths.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

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

std::string absolutePath(const std::string& path)
{
    if (path.empty() || path.front() == kPathSeparator)
        return path;
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        // Without a working directory the path stays relative, but still cannot start with '-'.
        if (errno != ERANGE)
            return std::string(".") + kPathSeparator + path;
        buffer.resize(buffer.size() * 2);
    }
    return withTrailingSeparator(buffer.data()) + path;
}

bool DirectoryPresent(const std::string& path)
{
    struct stat st { };
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FilePresent(const std::string& path)
{
    struct stat st { };
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

} // namespace pkm
