#include "templates/word_wrap.h"

#include <algorithm>

namespace pkm {

namespace {

// A tab is one column wide and separates words like a blank.
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isBreak(char c)
{
    return c == '\r' || c == '\n';
}

// Appends the displayed lines of the hard line text[begin, end).
void wrapHardLine(std::string_view text, std::size_t begin, std::size_t end, std::size_t width,
                  std::vector<DisplayLine>& out)
{
    if (begin == end) {
        out.push_back({begin, 0});
        return;
    }
    std::size_t pos = begin;
    while (pos < end) {
        if (end - pos <= width) {
            out.push_back({pos, end - pos});
            return;
        }
        // Only the first displayed line of a hard line can start with blanks.
        std::size_t firstWord = pos;
        while (firstWord < end && isBlank(text[firstWord]))
            ++firstWord;
        if (firstWord == end) {
            // Nothing but blanks: they hang past the edge like the blanks at a wrap point.
            out.push_back({pos, end - pos});
            return;
        }

        // The last word end that fits: the line takes every whole word up to there.
        const std::size_t limit = pos + width;
        std::size_t lineEnd = 0;
        for (std::size_t e = std::min(limit, end); e > firstWord; --e) {
            if ((e == end || isBlank(text[e])) && !isBlank(text[e - 1])) {
                lineEnd = e;
                break;
            }
        }

        if (lineEnd == 0) {
            if (firstWord > pos) {
                // Leading blanks followed by a word that does not fit after them: the word
                // starts the next line, the blanks stay on this one.
                out.push_back({pos, firstWord - pos});
                pos = firstWord;
            } else {
                // A word longer than the line is cut; its rest wraps by the same rules.
                out.push_back({pos, width});
                pos = limit;
            }
            continue;
        }

        // Blanks at the wrap point stay at the end of this line, however many there are.
        std::size_t next = lineEnd;
        while (next < end && isBlank(text[next]))
            ++next;
        out.push_back({pos, next - pos});
        pos = next;
    }
}

// Every displayed line, the empty line after a final break (or of an empty text) included.
std::vector<DisplayLine> layoutWithFinalLine(std::string_view text, int width)
{
    const std::size_t w = width < 1 ? 1 : static_cast<std::size_t>(width);
    std::vector<DisplayLine> lines;
    std::size_t begin = 0;
    for (;;) {
        std::size_t end = begin;
        while (end < text.size() && !isBreak(text[end]))
            ++end;
        wrapHardLine(text, begin, end, w, lines);
        if (end == text.size())
            break;
        // CR LF, a lone CR and a lone LF each end a hard line.
        begin = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

} // namespace

std::vector<DisplayLine> layoutDisplayLines(std::string_view text, int width)
{
    std::vector<DisplayLine> lines = layoutWithFinalLine(text, width);
    if (!lines.empty() && lines.back().length == 0)
        lines.pop_back();
    return lines;
}

std::vector<std::string> wrapDisplayLines(std::string_view text, int width)
{
    std::vector<std::string> out;
    for (const DisplayLine& line : layoutDisplayLines(text, width))
        out.emplace_back(text.substr(line.start, line.length));
    return out;
}

std::size_t displayLineOfIndex(std::string_view text, int width, std::size_t index, std::size_t* lineStart)
{
    const std::vector<DisplayLine> lines = layoutWithFinalLine(text, width);
    index = std::min(index, text.size());
    // Starts rise strictly, so the holder is the last line starting at or before the index.
    const auto after = std::upper_bound(lines.begin(), lines.end(), index,
                                        [](std::size_t i, const DisplayLine& line) { return i < line.start; });
    const std::size_t number = static_cast<std::size_t>(after - lines.begin()) - 1;
    if (lineStart)
        *lineStart = lines[number].start;
    return number;
}

} // namespace pkm
