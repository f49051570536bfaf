#pragma once
// ZipSet, the zip set of the Zip page: the zip entries with the files each one packs, the numbering
// that proposes and generates zip names, and the rules for adding and removing zips and files.
// Everything is kept in one order given by a comparison: the window passes a locale-aware,
// case-insensitive one; the default compares ASCII letters without regard to case.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pkm {

// Three-way comparison: negative, zero (equal) or positive.
using TextCompare = std::function<int(const std::string&, const std::string&)>;

// Byte order with the ASCII letters folded to lower case.
int compareAsciiNoCase(const std::string& a, const std::string& b);

struct ZipEntry {
    std::string name; // the zip's name as handed to zip, without directory
    // Full paths of the files to pack, sorted by the set's comparison, no two equal. A zip
    // that never got a file simply has an empty list.
    std::vector<std::string> content;
};

// Pattern of the last name entered: text before the number field, field width, text after.
struct ZipNamePattern {
    std::string before;
    std::size_t width = 0;
    std::string after;
    bool operator==(const ZipNamePattern&) const = default;
};

// Indices into the zip list, in any order; duplicates count once.
using ZipSelection = std::vector<std::size_t>;
// The indices of the set flags (a list box's per-row selection state).
ZipSelection selectionFromFlags(const std::vector<bool>& selected);

// The pattern of a name: nothing when it has no usable number. The number field is the name's
// last run of digits, so "cd1disk2" counts on as cd1disk3; a run whose value does not fit a
// 32-bit signed integer cannot start a series, and the name counts as having no number.
struct ParsedZipName {
    ZipNamePattern format;
    std::int32_t number = 0;
};
std::optional<ParsedZipName> parseZipNameField(const std::string& name);

// before + number padded with zeros to the width (a longer number in full) + after.
std::string formatZipName(const ZipNamePattern& format, std::int32_t number);

class ZipSet {
public:
    explicit ZipSet(TextCompare compare = compareAsciiNoCase);

    const std::vector<ZipEntry>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }

    // Numbering state; both start empty/0 and are never saved.
    std::optional<ZipNamePattern> ZipNameFormat;
    std::int32_t NextZipNumber = 0;

    // The name for NextZipNumber under the pattern; empty without a pattern.
    std::string GenerateZipName() const;
    // Takes the pattern and number of an entered name; without digits the pattern becomes
    // empty and NextZipNumber stays.
    void ParseZipName(const std::string& name);

    // The dialog's OK: the first name as typed, then count - 1 generated names, each step
    // advancing NextZipNumber whether or not a name was added. Names already present (without
    // regard to case) are ignored. A count below 1 counts as 1.
    void AddSeries(const std::string& firstName, int count);

    // One file goes into every selected zip; several files into the one selected zip, or
    // paired in list order with several selected zips (extra files or zips get nothing).
    void AddFiles(const std::vector<std::string>& files, const ZipSelection& selected);

    // Removes the selected zips with their content; the proposal restarts at the number of
    // zips left + 1, with the same pattern.
    void DeleteZips(const ZipSelection& selected);

    // In every selected zip, removes each path whose file name equals one of the names.
    void RemoveFiles(const std::vector<std::string>& fileNames, const ZipSelection& selected);

    // The file names the content list shows for the selection.
    std::vector<std::string> ContentView(const ZipSelection& selected) const;

    // Adds one empty zip (ignored when present); true when it was added.
    bool AddZip(const std::string& name);

private:
    // Sorted, checked indices; throws pkm::Error for an index outside the list.
    std::vector<std::size_t> normalized(const ZipSelection& selected) const;
    bool contains(const std::vector<std::string>& sorted, const std::string& path) const;
    void insertSorted(std::vector<std::string>& sorted, const std::string& path) const;
    static bool insertEntry(std::vector<ZipEntry>& list, ZipEntry entry, const TextCompare& compare);
    void advanceNumber();

    TextCompare compare_;
    std::vector<ZipEntry> entries_;
};

} // namespace pkm
