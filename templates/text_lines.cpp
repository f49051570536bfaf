#include "templates/text_lines.h"

#include <cstring>

namespace pkm {

namespace {

template <typename Emit>
void forEachLine(std::string_view text, Emit emit)
{
    // Whatever follows a NUL byte is not part of the text.
    if (const void* nul = std::memchr(text.data(), '\0', text.size()))
        text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));

    std::size_t begin = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        emit(text.substr(begin, i - begin));
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        begin = i;
    }
    if (begin < text.size())
        emit(text.substr(begin));
}

template <typename Line>
std::string join(const std::vector<Line>& lines)
{
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines)
        appendTextLine(out, line);
    return out;
}

} // namespace

std::vector<std::string> splitTextLines(std::string_view text)
{
    std::vector<std::string> lines;
    forEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::string_view> splitTextLineViews(std::string_view text)
{
    std::vector<std::string_view> lines;
    forEachLine(text, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

void appendTextLine(std::string& out, std::string_view line)
{
    out.append(line);
    out.append("\r\n", 2);
}

std::string joinTextLines(const std::vector<std::string>& lines)
{
    return join(lines);
}

std::string joinTextLines(const std::vector<std::string_view>& lines)
{
    return join(lines);
}

} // namespace pkm
