// The series' checksum file, written and read, and the CRC-32 of a file.
#include "archiving/series_checks.h"

#include "templates/text_lines.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace pkm {

std::string seriesName(const std::string& firstZipFile)
{
    std::string base = firstZipFile.substr(firstZipFile.find_last_of('/') + 1);
    if (base.size() > 4) {
        std::string extension = base.substr(base.size() - 4);
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".zip")
            base.resize(base.size() - 4);
    }
    const std::size_t kept = base.find_last_not_of("0123456789");
    return kept == std::string::npos ? base : base.substr(0, kept + 1);
}

std::string checksumFileName(const std::string& firstZipFile)
{
    return seriesName(firstZipFile) + ".sfv";
}

std::string seriesOfChecksumFile(const std::string& checksumFile)
{
    std::string name = checksumFile.substr(checksumFile.find_last_of('/') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".sfv") == 0)
        name.resize(name.size() - 4);
    return name;
}

std::string checksumFileText(const std::string& series, const std::vector<ChecksumLine>& lines)
{
    std::string text;
    appendTextLine(text, "; The zips of the series " + series + " and their CRC-32 checksums.");
    appendTextLine(text, "; Check them with: pakmaster verify " + series + ".sfv (or cksfv -f " + series + ".sfv)");
    for (const ChecksumLine& line : lines) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08X", line.crc);
        appendTextLine(text, line.name + " " + crc);
    }
    return text;
}

std::optional<std::vector<ChecksumLine>> parseChecksumFile(std::string_view bytes, std::size_t& badLine)
{
    std::vector<ChecksumLine> lines;
    std::size_t number = 0;
    for (std::string_view line : splitTextLineViews(bytes)) {
        ++number;
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == ';')
            continue;
        const std::size_t last = line.find_last_not_of(" \t");
        line = line.substr(0, last + 1);
        const std::size_t blank = line.find_last_of(" \t");
        const std::string_view hex = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        std::uint32_t crc = 0;
        const bool good = hex.size() == 8
            && std::from_chars(hex.data(), hex.data() + hex.size(), crc, 16).ptr == hex.data() + hex.size();
        // The name runs from the first character to the last before the blanks ahead of the CRC.
        const std::size_t nameEnd = good && blank > 0 ? line.find_last_not_of(" \t", blank - 1)
                                                      : std::string_view::npos;
        if (nameEnd == std::string_view::npos || nameEnd < first) {
            badLine = number;
            return std::nullopt;
        }
        lines.push_back({std::string(line.substr(first, nameEnd + 1 - first)), crc});
    }
    return lines;
}

std::optional<std::uint32_t> fileCrc32(const std::string& path, int& error)
{
    error = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    uLong crc = crc32(0L, Z_NULL, 0);
    unsigned char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        crc = crc32(crc, buffer, static_cast<uInt>(got));
    }
    ::close(fd);
    return static_cast<std::uint32_t>(crc);
}

} // namespace pkm
