#pragma once
// What a run leaves behind, for the tests that kill or stop one: the files of a tree, and the
// processes that mention a path.
#include <map>
#include <string>
#include <vector>

using Tree = std::map<std::string, std::string>;

// Every entry below `root`: a file's bytes, "<dir>", or "-> target" for a link.
Tree contents(const std::string& root);
// Bytes that no archiver can make smaller, so that it takes a while.
std::string noise(std::size_t size, unsigned seed);
// The command lines of the processes that mention `text` (the stub, the archivers, 7zz).
std::vector<std::string> processesMentioning(const std::string& text);
// A process mentioning `text` runs `program`.
bool anyProcessStarting(const std::string& text, const std::string& program);
// Waits (with a bound) until nothing of the run is left, and returns what is.
std::vector<std::string> survivors(const std::string& text);
