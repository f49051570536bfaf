#include "platform/profile_file.h"

#include "platform/file_io.h"

#include <iterator>

namespace pkm {

namespace {

bool isTrimmed(char c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

std::string_view trim(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isTrimmed(s[b]))
        ++b;
    while (e > b && isTrimmed(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

// A line break inside a written value would start a new line of the file and could forge keys
// or section headers; the C string API this stands in for also stops at a NUL.
std::string singleLine(std::string_view s)
{
    std::string out(s.substr(0, s.find('\0')));
    for (char& c : out) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return out;
}

} // namespace

bool sameProfileName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

ProfileFile::Line ProfileFile::parseLine(std::string text)
{
    Line line;
    line.text = std::move(text);
    const std::string_view t = trim(line.text);
    if (t.empty() || t.front() == ';')
        return line;
    if (t.front() == '[') {
        const std::size_t close = t.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = Kind::Header;
            line.name = std::string(trim(t.substr(1, close - 1)));
            return line;
        }
        // Without ']' the line is no header; it is read like any other line.
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return line;
    line.kind = Kind::Key;
    line.name = std::string(trim(t.substr(0, eq)));
    line.value = std::string(trim(t.substr(eq + 1)));
    return line;
}

ProfileFile ProfileFile::parse(std::string_view bytes)
{
    ProfileFile file;
    // Windows editors put one before the first line; left there, it would hide that line's
    // section header.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        file.byteOrderMark_ = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            file.lines_.push_back(parseLine(std::string(bytes.substr(start))));
            break;
        }
        file.lines_.push_back(parseLine(std::string(bytes.substr(start, end - start))));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return file;
}

ProfileFile ProfileFile::load(const std::string& path)
{
    const std::optional<std::string> bytes = readFileBytes(path);
    return bytes ? parse(*bytes) : ProfileFile {};
}

std::string ProfileFile::serialize() const
{
    std::string out = byteOrderMark_ ? "\xEF\xBB\xBF" : "";
    for (const Line& line : lines_) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> ProfileFile::sectionNames() const
{
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Header)
            names.push_back(line.name);
    }
    return names;
}

std::vector<std::string> ProfileFile::listedSectionNames(std::size_t bufferSize) const
{
    return namesFromBuffer(sectionNamesBuffer(sectionNames(), bufferSize));
}

std::size_t ProfileFile::findHeader(std::string_view section) const
{
    if (!indexValid_) {
        headerIndex_.clear();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].kind == Kind::Header)
                headerIndex_.emplace(lowered(lines_[i].name), i); // keeps the first
        }
        indexValid_ = true;
    }
    const auto it = headerIndex_.find(lowered(section));
    return it == headerIndex_.end() ? std::string::npos : it->second;
}

std::size_t ProfileFile::sectionEnd(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Header)
        ++i;
    return i;
}

bool ProfileFile::hasSection(std::string_view section) const
{
    return findHeader(section) != std::string::npos;
}

std::optional<std::string> ProfileFile::findString(std::string_view section, std::string_view key) const
{
    const std::size_t header = findHeader(section);
    if (header == std::string::npos)
        return std::nullopt;
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind != Kind::Key || !sameProfileName(line.name, key))
            continue;
        std::string_view value = line.value;
        if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value.substr(0, kProfileValueLimit));
    }
    return std::nullopt;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    std::optional<std::string> value = findString(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

void ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionText = singleLine(section);
    const std::string keyText = singleLine(key);
    const std::string valueText = singleLine(value);

    const std::size_t header = findHeader(sectionText);
    if (header == std::string::npos) {
        // Appended at the end: no header moves, so the index only gains this one. Keeping it
        // saves a rebuild per written key when a save appends every record.
        lines_.push_back(parseLine("[" + sectionText + "]"));
        if (indexValid_ && lines_.back().kind == Kind::Header)
            headerIndex_.emplace(lowered(lines_.back().name), lines_.size() - 1);
        else
            invalidateIndex();
        lines_.push_back(parseLine(keyText + "=" + valueText));
        if (lines_.back().kind == Kind::Header)
            invalidateIndex();
        return;
    }
    const std::size_t end = sectionEnd(header);
    std::size_t lastContent = header;
    for (std::size_t i = header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind == Kind::Key && sameProfileName(line.name, keyText)) {
            // The key keeps its spelling from the file.
            line = parseLine(line.name + "=" + valueText);
            return;
        }
        if (!trim(line.text).empty())
            lastContent = i;
    }
    // A new key goes after the section's last non-blank line, so blank lines that separate it
    // from the next section stay where they are.
    const std::size_t at = lastContent + 1;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), parseLine(keyText + "=" + valueText));
    if (at + 1 != lines_.size() || lines_[at].kind == Kind::Header)
        invalidateIndex(); // headers after the new line moved, or the line reads as one
}

void ProfileFile::eraseSection(std::string_view section)
{
    const std::size_t header = findHeader(section);
    if (header == std::string::npos)
        return;
    const std::size_t end = sectionEnd(header);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    invalidateIndex();
}

void ProfileFile::eraseSections(const std::vector<std::string>& sections)
{
    // Headers of each name, in file order; the k-th erase of a name takes its k-th header.
    std::unordered_map<std::string, std::vector<std::size_t>> headers;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Header)
            headers[lowered(lines_[i].name)].push_back(i);
    }
    std::unordered_map<std::string, std::size_t> taken;
    std::vector<bool> erased(lines_.size(), false);
    for (const std::string& section : sections) {
        const std::string key = lowered(section);
        const auto it = headers.find(key);
        if (it == headers.end())
            continue;
        std::size_t& next = taken[key];
        if (next == it->second.size())
            continue;
        const std::size_t header = it->second[next++];
        const std::size_t end = sectionEnd(header);
        for (std::size_t i = header; i < end; ++i)
            erased[i] = true;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (erased[i])
            continue;
        if (kept != i)
            lines_[kept] = std::move(lines_[i]);
        ++kept;
    }
    lines_.resize(kept);
    invalidateIndex();
}

ProfileFile ProfileFile::takeSections()
{
    std::size_t first = 0;
    while (first < lines_.size() && lines_[first].kind != Kind::Header)
        ++first;
    ProfileFile rest;
    rest.lines_.assign(std::make_move_iterator(lines_.begin() + static_cast<std::ptrdiff_t>(first)),
                       std::make_move_iterator(lines_.end()));
    lines_.resize(first);
    invalidateIndex();
    return rest;
}

std::string sectionNamesBuffer(const std::vector<std::string>& names, std::size_t bufferSize)
{
    std::string buffer;
    if (bufferSize == 0)
        return buffer;
    // Room for names and their NULs; the last byte is kept for the final NUL.
    std::size_t room = bufferSize - 1;
    for (const std::string& name : names) {
        if (name.empty())
            continue; // an empty name would end the list early; the platform does not list it
        const std::size_t need = name.size() + 1;
        if (need >= room) {
            // Does not fit with a byte to spare: cut it, end it, and close the list.
            if (room > 0) {
                buffer.append(name, 0, room - 1);
                buffer += '\0';
            }
            buffer += '\0';
            return buffer;
        }
        buffer += name;
        buffer += '\0';
        room -= need;
    }
    buffer += '\0';
    return buffer;
}

std::vector<std::string> namesFromBuffer(std::string_view buffer)
{
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < buffer.size() && buffer[pos] != '\0') {
        std::size_t end = buffer.find('\0', pos);
        if (end == std::string_view::npos)
            end = buffer.size();
        names.emplace_back(buffer.substr(pos, end - pos));
        pos = end + 1;
    }
    return names;
}

} // namespace pkm
