// ZipSet: the zip entries, their numbering, and adding and removing zips and files.
#include "archiving/zip_set.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <algorithm>
#include <limits>

namespace pkm {

namespace {

unsigned char foldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int compareAsciiNoCase(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = foldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char y = foldAscii(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

ZipSelection selectionFromFlags(const std::vector<bool>& selected)
{
    ZipSelection indices;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (selected[i])
            indices.push_back(i);
    }
    return indices;
}

std::optional<ParsedZipName> parseZipNameField(const std::string& name)
{
    // The last run of digits is the number field: with two numbers in a name ("cd1disk2") the
    // one that changes from disk to disk is usually the last.
    const std::size_t last = name.find_last_of("0123456789");
    if (last == std::string::npos)
        return std::nullopt;
    std::size_t first = last;
    while (first > 0 && isDigit(name[first - 1]))
        --first;

    // A run too large for the 32-bit number cannot start a series: only the name itself is added.
    std::int64_t value = 0;
    for (std::size_t i = first; i <= last; ++i) {
        value = value * 10 + (name[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
    }

    ParsedZipName parsed;
    parsed.format.before = name.substr(0, first);
    parsed.format.width = last - first + 1;
    parsed.format.after = name.substr(last + 1);
    parsed.number = static_cast<std::int32_t>(value);
    return parsed;
}

std::string formatZipName(const ZipNamePattern& format, std::int32_t number)
{
    const bool negative = number < 0;
    std::string digits = std::to_string(negative ? -static_cast<std::int64_t>(number) : number);
    const std::size_t width = negative && format.width > 0 ? format.width - 1 : format.width;
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return format.before + (negative ? "-" : "") + digits + format.after;
}

ZipSet::ZipSet(TextCompare compare)
    : compare_(compare ? std::move(compare) : TextCompare(compareAsciiNoCase))
{
}

std::string ZipSet::GenerateZipName() const
{
    return ZipNameFormat ? formatZipName(*ZipNameFormat, NextZipNumber) : std::string();
}

void ZipSet::ParseZipName(const std::string& name)
{
    const std::optional<ParsedZipName> parsed = parseZipNameField(name);
    if (!parsed) {
        ZipNameFormat.reset();
        return;
    }
    ZipNameFormat = parsed->format;
    NextZipNumber = parsed->number;
}

void ZipSet::advanceNumber()
{
    // The number is 32 bits wide: at its maximum it stays, so a series running past it keeps
    // generating that (already added) name instead of wrapping to a negative one.
    if (NextZipNumber < std::numeric_limits<std::int32_t>::max())
        ++NextZipNumber;
}

bool ZipSet::insertEntry(std::vector<ZipEntry>& list, ZipEntry entry, const TextCompare& compare)
{
    const auto at = std::lower_bound(
        list.begin(), list.end(), entry.name,
        [&](const ZipEntry& e, const std::string& name) { return compare(e.name, name) < 0; });
    if (at != list.end() && compare(at->name, entry.name) == 0)
        return false;
    list.insert(at, std::move(entry));
    return true;
}

bool ZipSet::AddZip(const std::string& name)
{
    // An empty name would make a zip without a file name; the dialog never confirms one.
    if (name.empty())
        return false;
    return insertEntry(entries_, ZipEntry {name, {}}, compare_);
}

void ZipSet::AddSeries(const std::string& firstName, int count)
{
    // Built on a copy and swapped in at the end, so the list changes in one step.
    ZipSet series(compare_);
    series.entries_ = entries_;
    series.ZipNameFormat = ZipNameFormat;
    series.NextZipNumber = NextZipNumber;

    series.ParseZipName(firstName);
    series.AddZip(firstName);
    series.advanceNumber();
    // The count field's own repair (anything below 1 becomes 1) also holds when OK is pressed
    // with the field never left.
    for (int i = 1; i < count; ++i) {
        series.AddZip(series.GenerateZipName());
        series.advanceNumber();
    }

    entries_ = std::move(series.entries_);
    ZipNameFormat = std::move(series.ZipNameFormat);
    NextZipNumber = series.NextZipNumber;
}

std::vector<std::size_t> ZipSet::normalized(const ZipSelection& selected) const
{
    std::vector<std::size_t> indices = selected;
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    if (!indices.empty() && indices.back() >= entries_.size())
        throw Error(formatMessage("List index out of bounds (%d)", static_cast<long long>(indices.back())));
    return indices;
}

bool ZipSet::contains(const std::vector<std::string>& sorted, const std::string& path) const
{
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), path,
                                     [&](const std::string& a, const std::string& b) { return compare_(a, b) < 0; });
    return at != sorted.end() && compare_(*at, path) == 0;
}

void ZipSet::insertSorted(std::vector<std::string>& sorted, const std::string& path) const
{
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), path,
                                     [&](const std::string& a, const std::string& b) { return compare_(a, b) < 0; });
    if (at != sorted.end() && compare_(*at, path) == 0)
        return;
    sorted.insert(at, path);
}

void ZipSet::AddFiles(const std::vector<std::string>& files, const ZipSelection& selected)
{
    const std::vector<std::size_t> zips = normalized(selected);
    if (files.empty() || zips.empty())
        return;
    if (files.size() == 1) {
        for (std::size_t z : zips)
            insertSorted(entries_[z].content, files.front());
    } else if (zips.size() == 1) {
        for (const std::string& file : files)
            insertSorted(entries_[zips.front()].content, file);
    } else {
        const std::size_t pairs = std::min(files.size(), zips.size());
        for (std::size_t i = 0; i < pairs; ++i)
            insertSorted(entries_[zips[i]].content, files[i]);
    }
}

void ZipSet::DeleteZips(const ZipSelection& selected)
{
    const std::vector<std::size_t> zips = normalized(selected);
    for (auto it = zips.rbegin(); it != zips.rend(); ++it)
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*it));
    NextZipNumber = static_cast<std::int32_t>(
        std::min<std::size_t>(entries_.size() + 1, static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
}

void ZipSet::RemoveFiles(const std::vector<std::string>& fileNames, const ZipSelection& selected)
{
    const std::vector<std::size_t> zips = normalized(selected);
    for (std::size_t z : zips) {
        std::vector<std::string>& content = entries_[z].content;
        // A name stands for every path ending in it, whatever its directory.
        std::erase_if(content, [&](const std::string& path) {
            const std::string name = fileNameOf(path);
            return std::any_of(fileNames.begin(), fileNames.end(),
                               [&](const std::string& wanted) { return compare_(name, wanted) == 0; });
        });
    }
}

std::vector<std::string> ZipSet::ContentView(const ZipSelection& selected) const
{
    const std::vector<std::size_t> zips = normalized(selected);
    std::vector<std::string> names;
    if (zips.empty())
        return names;
    const std::vector<std::string>& first = entries_[zips.front()].content;
    if (zips.size() == 1) {
        for (const std::string& path : first)
            names.push_back(fileNameOf(path));
        return names;
    }
    // Several zips: only the paths every one of them packs. An empty content among them
    // leaves nothing in common.
    for (const std::string& path : first) {
        const bool inAll = std::all_of(zips.begin() + 1, zips.end(),
                                       [&](std::size_t z) { return contains(entries_[z].content, path); });
        if (inAll)
            names.push_back(fileNameOf(path));
    }
    return names;
}

} // namespace pkm
