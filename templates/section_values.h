#pragma once
// Section values given by name from outside the window: texts in the locale's encoding
// (UTF-8), stored as the window's editors store what is typed, in code page 437.
#include "templates/section.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

// A section's "Name" and a value for it, both already in code page 437.
struct NamedValue {
    std::string name;
    std::string value;
    bool operator==(const NamedValue&) const = default;
};

// UTF-8 text as code page 437 bytes; a character the code page lacks becomes '?'. Every line
// end (CR LF, CR or LF) becomes CR LF, the line break the memo editor stores.
std::string StoredText(std::string_view utf8);

// "NAME=VALUE", split at the first '=' and stored; nothing without an '='.
std::optional<NamedValue> ParseNamedValue(std::string_view utf8);

// A values file: one NAME=VALUE a line, empty lines skipped, a UTF-8 byte-order mark ignored.
// badLine is the 1-based number of the first line without an '=' (then nothing is returned).
std::optional<std::vector<NamedValue>> ParseValuesFile(std::string_view bytes, std::size_t& badLine);

// Sets the value of every section, in both lists, whose Name equals a given name, in the order
// given, so that the last value for a name wins. Returns the index of the first value whose
// name no section has; then nothing is changed.
std::optional<std::size_t> SetSectionValues(SectionList& nfo, SectionList& diz, const std::vector<NamedValue>& values);

} // namespace pkm
