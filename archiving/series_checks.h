#pragma once
// The checks that travel with a zip series: an SFV checksum file named for the series, one line
// "name CRC32" per zip, which cksfv and `pakmaster verify` read back.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

// The series' name for its checks: the first zip's file name without ".zip" and without its
// trailing digits ("disk01.zip": "disk"); the name whole when nothing would be left.
std::string seriesName(const std::string& firstZipFile);
// "disk.sfv" for the series of disk01.zip.
std::string checksumFileName(const std::string& firstZipFile);
// The series a checksum file is named for: its file name without ".sfv".
std::string seriesOfChecksumFile(const std::string& checksumFile);

struct ChecksumLine {
    std::string name; // relative to the checksum file's directory
    std::uint32_t crc = 0;
    bool operator==(const ChecksumLine&) const = default;
};

// The checksum file: comment lines, then "name CRC32" (eight upper-case hex digits) a line, CR LF
// after every line.
std::string checksumFileText(const std::string& series, const std::vector<ChecksumLine>& lines);
// Its lines read back: comments (";") and empty lines skipped; nothing, with the 1-based
// number of the first line that is neither, when one is not "name CRC32".
std::optional<std::vector<ChecksumLine>> parseChecksumFile(std::string_view bytes, std::size_t& badLine);

// The CRC-32 of a file's bytes (zlib's), or nothing with `error` set to the errno value.
std::optional<std::uint32_t> fileCrc32(const std::string& path, int& error);

} // namespace pkm
