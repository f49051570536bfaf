#pragma once
// Path rules written for a backslash use the native separator: '/' here, '\' on Windows.
#include <string>
#include <string_view>

namespace pkm {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

bool endsWithSeparator(std::string_view path);
// Appends one separator unless the text already ends with one.
std::string withTrailingSeparator(std::string path);
// Removes one trailing separator, if there is one.
std::string withoutTrailingSeparator(std::string path);
// The part after the last separator.
std::string fileNameOf(const std::string& path);

// True when the path exists and is a directory, after following symbolic links.
bool DirectoryPresent(const std::string& path);
bool FilePresent(const std::string& path);

} // namespace pkm
