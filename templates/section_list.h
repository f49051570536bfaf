#pragma once
// Editing a section list, as the NfoDiz page and the section creator do it: where a new section
// goes, what is selected after a deletion, a section moved by drag and drop, and the value box
// that shows a multi-line value's first line.
#include "templates/section.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pkm {

// A section name left empty in the section creator.
inline constexpr const char* kDefaultSectionName = "Default name";
std::string sectionNameOrDefault(std::string typed);

// Where a new section goes: the section creator puts it after the selected one (first when
// none is selected), the NfoDiz page before the selected one (last when none is). -1: none.
std::size_t creatorInsertPosition(int selected);
std::size_t pageInsertPosition(int selected, std::size_t count);
// A section with the record's defaults, in at `position`.
void insertNewSection(SectionList& sections, std::size_t position);
// Removes section `index`; the one to select afterwards: the one now at that place, or the new
// last one when the last went; -1 when none is left.
int removeSection(SectionList& sections, std::size_t index);
// The section at `from` taken out and put in at `to`, the others keeping their order.
void moveSection(SectionList& sections, std::size_t from, std::size_t to);

// What the one-line value box shows of a value: its first line.
std::string firstValueLine(std::string_view value);
// The value after typing `typed` into that box: the typed line, then the value's other lines.
std::string withFirstValueLine(std::string_view value, std::string_view typed);

} // namespace pkm
