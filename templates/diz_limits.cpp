#include "templates/diz_limits.h"

#include "templates/text_lines.h"

#include <vector>

namespace pkm {

namespace {

// "3", "3 and 7", "3, 7 and 9" ... at most a few named, then how many more.
std::string lineList(const std::vector<std::size_t>& lines)
{
    constexpr std::size_t kNamed = 8;
    std::string text;
    const std::size_t named = std::min(lines.size(), kNamed);
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0)
            text += i + 1 == named && named == lines.size() ? " and " : ", ";
        text += std::to_string(lines[i]);
    }
    if (lines.size() > named)
        text += " and " + std::to_string(lines.size() - named) + " more";
    return text;
}

} // namespace

std::optional<std::string> DizLimitsNotice(std::string_view bytes)
{
    std::vector<std::size_t> wide;
    std::size_t count = 0;
    forEachTextLine(bytes, [&](std::string_view line) {
        ++count;
        if (line.size() > kDizLineWidth)
            wide.push_back(count);
    });
    if (wide.empty() && count <= kDizLines)
        return std::nullopt;
    std::string text = "BBS and archive software reads at most " + std::to_string(kDizLineWidth)
        + " characters a line and " + std::to_string(kDizLines) + " lines of a DIZ file.";
    if (!wide.empty())
        text += std::string("\r") + (wide.size() == 1 ? "Line " : "Lines ") + lineList(wide) + " "
            + (wide.size() == 1 ? "is" : "are") + " longer than " + std::to_string(kDizLineWidth) + " characters.";
    if (count > kDizLines)
        text += "\rThe file has " + std::to_string(count) + " lines: "
            + (count == kDizLines + 1
                   ? "line " + std::to_string(count) + " is"
                   : "lines " + std::to_string(kDizLines + 1) + " to " + std::to_string(count) + " are")
            + " past the " + std::to_string(kDizLines) + " read.";
    return text;
}

} // namespace pkm
