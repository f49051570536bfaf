#pragma once
// Section values given by name from outside the window: texts in the locale's encoding
// (UTF-8), stored as the window's editors store what is typed, in code page 437.
#include "templates/section.h"

#include <cstddef>
#include <cstdint>
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

// What a value given by name does to an edit-style (one-line) section it reaches.
enum class ValueProblem {
    LineBreak, // it holds a line break, which would add lines to the file and move the frame
    TooLong,   // it is longer than the section's Width and is cut to it
};

struct ValueNotice {
    std::size_t index = 0; // of the value
    ValueProblem problem = ValueProblem::LineBreak;
    std::uint16_t width = 0; // the narrowest such section's Width (TooLong)
    bool operator==(const ValueNotice&) const = default;
};

// The problems of the values that SetSectionValues would leave in `sections` (the last value
// for a name), each value's once, in the order of the values: a line break in a value, once
// trimmed as the generator trims it, refuses it; a longer value than a Width is cut. Memo-style
// sections wrap their values and have neither.
std::vector<ValueNotice> CheckSectionValues(const SectionList& sections, const std::vector<NamedValue>& values);

} // namespace pkm
