#pragma once
// A Windows profile (INI) file held in memory: parsed from bytes, read and edited with the
// semantics of GetPrivateProfileStringA / WritePrivateProfileStringA, and turned back into
// bytes, so that a save writes the complete file once.
//
// Reading rules:
// - a UTF-8 byte-order mark at the start of the file is no part of its first line (it is
//   written back before it);
// - a line ends at CR LF, a lone CR or a lone LF; blank lines name nothing, so any run of
//   line ends reads like one;
// - blanks and control characters 9 to 13 around a line, a section name, a key and a value
//   are ignored;
// - "[name]" opens a section whose name runs to the last ']' of the line; a '[' line
//   without ']' opens nothing;
// - a line whose first character is ';' is a comment, a line without '=' names no key;
// - lines before the first section header belong to no section a lookup can reach;
// - section and key names match without regard to (ASCII) case; with duplicates the first
//   one counts, for reading and for writing;
// - a value that starts and ends with the same quote (" or ') and is longer than one
//   character loses those quotes; a value longer than 1023 characters reads as its first 1023.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pkm {

// The longest value a reader gets back (the caller's 1024-byte buffer less its NUL).
inline constexpr std::size_t kProfileValueLimit = 1023;
// The buffer through which the list of section names travels.
inline constexpr std::size_t kSectionNamesBufferSize = 8192;

class ProfileFile {
public:
    ProfileFile() = default;

    static ProfileFile parse(std::string_view bytes);
    // A file that is missing or cannot be read is a file without sections.
    static ProfileFile load(const std::string& path);
    // Every line followed by CR LF.
    std::string serialize() const;

    // The name of every section header, in file order, duplicates included.
    std::vector<std::string> sectionNames() const;
    // The section names as a reader sees them through a buffer of bufferSize bytes.
    std::vector<std::string> listedSectionNames(std::size_t bufferSize = kSectionNamesBufferSize) const;

    bool hasSection(std::string_view section) const;
    // The value of the first matching key in the first matching section, as a reader gets it
    // (trimmed, unquoted, cut to 1023 characters); nothing when the section or key is missing.
    std::optional<std::string> findString(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Replaces the value of the key in place, or appends the key to its section, or appends
    // the section with the key to the end of the file.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    // Removes the first matching section: its header and every line up to the next header.
    void eraseSection(std::string_view section);
    // Erases the sections one after another, as that many eraseSection calls would (a name
    // given twice erases its first two sections), in one pass over the file.
    void eraseSections(const std::vector<std::string>& sections);
    // Moves every line from the first section header on into a file of their own, and returns
    // it; this file keeps the lines before that header and the byte-order mark.
    ProfileFile takeSections();

private:
    enum class Kind {
        Other,
        Header,
        Key
    };
    struct Line {
        std::string text; // as it stands in the file, without its line end
        Kind kind = Kind::Other;
        std::string name;  // section name (Header) or key (Key), trimmed
        std::string value; // Key: the value, trimmed, before unquoting
    };

    static Line parseLine(std::string text);
    // Index of the first header of that name, or npos.
    std::size_t findHeader(std::string_view section) const;
    // One past the last line of the section whose header is at index header.
    std::size_t sectionEnd(std::size_t header) const;
    void invalidateIndex() { indexValid_ = false; }

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
    // Lower-cased section name -> index of its first header; rebuilt after an edit.
    mutable std::unordered_map<std::string, std::size_t> headerIndex_;
    mutable bool indexValid_ = false;
};

// The bytes GetPrivateProfileSectionNamesA leaves in a buffer of bufferSize bytes for these
// names: each name and a NUL while it fits, then a final NUL. The first name that does not fit
// is cut so that the buffer ends with two NULs, and no later name is copied. Returns the bytes
// up to and including the final NUL (never more than bufferSize).
std::string sectionNamesBuffer(const std::vector<std::string>& names, std::size_t bufferSize);
// The names a reader takes from such a buffer: NUL-terminated strings up to the first empty one.
std::vector<std::string> namesFromBuffer(std::string_view buffer);

// ASCII case-insensitive equality, as profile names are matched.
bool sameProfileName(std::string_view a, std::string_view b);

} // namespace pkm
