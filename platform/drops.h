#pragma once
// What a drop from the file manager may bring to a box or a list. The items are the dropped
// entries as local paths; an empty path stands for an entry that is no local file (a web
// address, a remote file).
#include <optional>
#include <string>
#include <vector>

namespace pkm {

// A directory box takes one existing directory (links followed), as its path; anything else
// is refused.
std::optional<std::string> droppedFolder(const std::vector<std::string>& items);
// A file list takes existing files that are no directories, all of them in their order, as
// its open-file dialog would give them; one item that is anything else refuses the whole drop
// (none is returned).
std::vector<std::string> droppedFiles(const std::vector<std::string>& items);

} // namespace pkm
