// The section list's editing rules.
#include "templates/section_list.h"

#include <algorithm>

namespace pkm {

std::string sectionNameOrDefault(std::string typed)
{
    return typed.empty() ? std::string(kDefaultSectionName) : typed;
}

std::size_t creatorInsertPosition(int selected)
{
    return selected < 0 ? 0 : static_cast<std::size_t>(selected) + 1;
}

std::size_t pageInsertPosition(int selected, std::size_t count)
{
    return selected < 0 ? count : static_cast<std::size_t>(selected);
}

void insertNewSection(SectionList& sections, std::size_t position)
{
    TParam record;
    record.SetDefaults();
    sections.insert(sections.begin() + static_cast<std::ptrdiff_t>(std::min(position, sections.size())), record);
}

int removeSection(SectionList& sections, std::size_t index)
{
    if (index >= sections.size())
        return sections.empty() ? -1 : static_cast<int>(sections.size()) - 1;
    sections.erase(sections.begin() + static_cast<std::ptrdiff_t>(index));
    return index < sections.size() ? static_cast<int>(index) : static_cast<int>(sections.size()) - 1;
}

void moveSection(SectionList& sections, std::size_t from, std::size_t to)
{
    if (from >= sections.size() || to >= sections.size() || from == to)
        return;
    TParam record = std::move(sections[from]);
    sections.erase(sections.begin() + static_cast<std::ptrdiff_t>(from));
    sections.insert(sections.begin() + static_cast<std::ptrdiff_t>(to), std::move(record));
}

std::string firstValueLine(std::string_view value)
{
    return std::string(value.substr(0, value.find('\r')));
}

std::string withFirstValueLine(std::string_view value, std::string_view typed)
{
    const std::size_t cr = value.find('\r');
    std::string result(typed);
    if (cr != std::string_view::npos)
        result.append(value.substr(cr));
    return result;
}

} // namespace pkm
