#include "templates/text_lines.h"

#include <algorithm>
#include <cstring>

namespace pkm {

namespace {

// Whatever follows a NUL byte is not part of the text.
std::string_view beforeNul(std::string_view text)
{
    if (const void* nul = std::memchr(text.data(), '\0', text.size()))
        return text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    return text;
}

template <typename Emit> void forEachLine(std::string_view text, Emit emit)
{
    text = beforeNul(text);

    // The next CR and the next LF are each looked up once per line they end, so a file with
    // only one kind of line end is not scanned again for the other at every line.
    const auto next = [&](char c, std::size_t from) {
        const std::size_t at = text.find(c, from);
        return at == std::string_view::npos ? text.size() : at;
    };
    std::size_t nextCr = next('\r', 0);
    std::size_t nextLf = next('\n', 0);
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = std::min(nextCr, nextLf);
        if (end == text.size()) {
            emit(text.substr(begin));
            break;
        }
        emit(text.substr(begin, end - begin));
        begin = end + ((end == nextCr && nextLf == end + 1) ? 2 : 1);
        if (nextCr < begin)
            nextCr = next('\r', begin);
        if (nextLf < begin)
            nextLf = next('\n', begin);
    }
}

template <typename Line> std::string join(const std::vector<Line>& lines)
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

void forEachTextLine(std::string_view text, const std::function<void(std::string_view)>& line)
{
    forEachLine(text, line);
}

std::vector<std::string_view> splitTextParagraphViews(std::string_view text)
{
    std::vector<std::string_view> paragraphs = splitTextLineViews(text);
    text = beforeNul(text);
    if (text.empty() || text.back() == '\r' || text.back() == '\n')
        paragraphs.emplace_back();
    return paragraphs;
}

std::vector<std::string> splitTextParagraphs(std::string_view text)
{
    const std::vector<std::string_view> views = splitTextParagraphViews(text);
    return std::vector<std::string>(views.begin(), views.end());
}

std::size_t joinedTextSize(std::string_view text)
{
    std::size_t size = 0;
    forEachLine(text, [&](std::string_view line) { size += line.size() + 2; });
    return size;
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

std::string joinValueLines(const std::vector<std::string>& lines)
{
    std::string value = join(lines);
    if (!value.empty())
        value.resize(value.size() - 2);
    return value;
}

} // namespace pkm
