#include "platform/drops.h"

#include "platform/paths.h"

namespace pkm {

std::optional<std::string> droppedFolder(const std::vector<std::string>& items)
{
    if (items.size() != 1 || !DirectoryPresent(items.front()))
        return std::nullopt;
    return items.front();
}

std::vector<std::string> droppedFiles(const std::vector<std::string>& items)
{
    for (const std::string& item : items) {
        if (!FilePresent(item) || DirectoryPresent(item))
            return {};
    }
    return items;
}

} // namespace pkm
