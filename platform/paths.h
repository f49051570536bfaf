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

// The path from the root: a relative path is taken from the working directory, by text alone
// (links and "." stay as they are). A name that begins with '-' can then never be read as a
// switch of a program it is handed to.
std::string absolutePath(const std::string& path);

// True when the path exists and is a directory, after following symbolic links.
bool DirectoryPresent(const std::string& path);
bool FilePresent(const std::string& path);

} // namespace pkm
