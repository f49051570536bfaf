#include "templates/generator.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "templates/text_lines.h"
#include "templates/word_wrap.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace pkm {

namespace {

// Stable storage for the lines a run builds: the template's lines are views, and a view of a
// built line must stay valid while more lines are added.
class LineArena {
public:
    std::string_view store(std::string_view line)
    {
        if (line.empty())
            return {};
        if (line.size() > capacity_ - used_) {
            capacity_ = std::max(kBlockSize, line.size());
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(capacity_));
            used_ = 0;
        }
        char* at = blocks_.back().get() + used_;
        std::memcpy(at, line.data(), line.size());
        used_ += line.size();
        return {at, line.size()};
    }

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
};

// The template's lines while sections are overlaid. A memo-style section replaces one line by
// several, which moves the numbers of every line after it; to find a line by its current
// number without moving the rest, each template line is a slot that holds the lines it has
// become, and a Fenwick tree over the slot sizes finds the slot of a line number.
class TemplateLines {
public:
    explicit TemplateLines(std::string_view bytes)
    {
        const std::vector<std::string_view> lines = splitTextLineViews(bytes);
        slots_.resize(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            slots_[i].first = lines[i];
        count_ = lines.size();
        // Every slot holds one line: tree node i covers lowbit(i) slots.
        tree_.resize(slots_.size() + 1);
        for (std::size_t i = 1; i < tree_.size(); ++i)
            tree_[i] = i & (~i + 1);
        topStep_ = 1;
        while (topStep_ * 2 <= slots_.size())
            topStep_ *= 2;
    }

    std::size_t count() const { return count_; }

    std::string_view at(std::size_t index) const
    {
        const auto [slot, offset] = locate(index);
        const Slot& s = slots_[slot];
        return offset == 0 ? s.first : s.rest[offset - 1];
    }

    // Replaces the line at `index` by the lines given (at least one).
    void replace(std::size_t index, const std::vector<std::string_view>& lines)
    {
        const auto [slot, offset] = locate(index);
        Slot& s = slots_[slot];
        if (offset == 0)
            s.first = lines.front();
        else
            s.rest[offset - 1] = lines.front();
        if (lines.size() == 1)
            return;
        s.rest.insert(s.rest.begin() + static_cast<std::ptrdiff_t>(offset), lines.begin() + 1, lines.end());
        const std::size_t added = lines.size() - 1;
        count_ += added;
        for (std::size_t i = slot + 1; i < tree_.size(); i += i & (~i + 1))
            tree_[i] += added;
    }

    std::string bytes() const
    {
        std::size_t size = 0;
        for (const Slot& s : slots_) {
            size += s.first.size() + 2;
            for (std::string_view line : s.rest)
                size += line.size() + 2;
        }
        std::string out;
        out.reserve(size);
        for (const Slot& s : slots_) {
            appendTextLine(out, s.first);
            for (std::string_view line : s.rest)
                appendTextLine(out, line);
        }
        return out;
    }

private:
    struct Slot {
        std::string_view first;
        std::vector<std::string_view> rest;
    };

    // The slot holding the line at `index`, and the line's place inside it.
    std::pair<std::size_t, std::size_t> locate(std::size_t index) const
    {
        std::size_t slots = 0; // slots wholly before the line
        std::size_t remaining = index;
        for (std::size_t step = topStep_; step > 0; step /= 2) {
            if (slots + step < tree_.size() && tree_[slots + step] <= remaining) {
                slots += step;
                remaining -= tree_[slots];
            }
        }
        return {slots, remaining};
    }

    std::vector<Slot> slots_;
    std::vector<std::size_t> tree_; // 1-based Fenwick tree of slot sizes
    std::size_t topStep_ = 1;
    std::size_t count_ = 0;
};

// The working line numbers of the sections. A memo-style section on line L that adds d lines
// moves every section beyond L down by d, whether it has had its turn or not. Moving each one
// costs a pass over the whole list per memo-style section; instead, since a move keeps the
// order of lines, all moves together are a rising step function of a section's line in the
// list: current(x) = x + the lines added below x. A Fenwick tree over the distinct lines of
// the list holds those steps. The numbers are wider than a record's 16 bits, so a section
// moved past 65535 still names its own line instead of wrapping round to the top.
class LineShifts {
public:
    explicit LineShifts(const SectionList& sections)
    {
        for (const TParam& section : sections)
            lines_.push_back(section.Line);
        std::sort(lines_.begin(), lines_.end());
        lines_.erase(std::unique(lines_.begin(), lines_.end()), lines_.end());
        tree_.assign(lines_.size() + 1, 0);
        topStep_ = 1;
        while (topStep_ * 2 <= lines_.size())
            topStep_ *= 2;
    }

    long long current(std::uint16_t listLine) const
    {
        // 1-based rank of the line among the distinct lines.
        std::size_t i =
            static_cast<std::size_t>(std::lower_bound(lines_.begin(), lines_.end(), listLine) - lines_.begin()) + 1;
        long long added = 0;
        for (; i > 0; i -= i & (~i + 1))
            added += tree_[i];
        return listLine + added;
    }

    // Every section whose current line is beyond `line` moves down by `added` lines.
    void shiftBeyond(long long line, long long added)
    {
        // The number of distinct list lines whose current line is at most `line`.
        std::size_t rank = 0;
        long long below = 0;
        for (std::size_t step = topStep_; step > 0; step /= 2) {
            const std::size_t next = rank + step;
            if (next < tree_.size() && lines_[next - 1] + below + tree_[next] <= line) {
                rank = next;
                below += tree_[next];
            }
        }
        for (std::size_t i = rank + 1; i < tree_.size(); i += i & (~i + 1))
            tree_[i] += added;
    }

private:
    std::vector<std::uint16_t> lines_; // distinct lines of the list, rising
    std::vector<long long> tree_;      // 1-based Fenwick tree of lines added, by rank
    std::size_t topStep_ = 1;
};

bool isTrimmedByte(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::size_t trimmedLength(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isTrimmedByte(text[begin]))
        ++begin;
    while (end > begin && isTrimmedByte(text[end - 1]))
        --end;
    return end - begin;
}

// The line with `width` characters deleted from 1-based character `start` on; a start of 0 or
// beyond the end deletes nothing, a field running past the end deletes to the end.
std::string removeField(std::string_view line, std::uint16_t start, std::uint16_t width)
{
    std::string base(line);
    if (start >= 1 && start <= base.size())
        base.erase(start - 1u, width);
    return base;
}

// `piece` inserted into `base` at 1-based character `start`: 0 puts it in front, a start beyond
// the end appends it without filling the gap.
void insertPiece(std::string& out, std::string_view base, std::string_view piece, std::uint16_t start)
{
    const std::size_t at = start == 0 ? 0 : std::min<std::size_t>(start - 1u, base.size());
    out.clear();
    out.append(base.substr(0, at));
    out.append(piece);
    out.append(base.substr(at));
}

// The length AlignToWidth gives the trimmed text, without building it.
std::size_t pieceSize(std::string_view text, const TParam& section)
{
    const std::size_t length = trimmedLength(text);
    if (length > section.Width || section.Alignment <= 2)
        return section.Width;
    return length;
}

} // namespace

std::string TemplatePath(const std::string& dataDir, const std::string& cloneKey)
{
    return withTrailingSeparator(dataDir) + cloneKey;
}

std::string OutputPath(const std::string& dataDir, const std::string& outputDirSetting, const std::string& outputKey)
{
    const std::string dir = outputDirSetting.empty() ? dataDir : outputDirSetting;
    return withTrailingSeparator(dir) + outputKey;
}

std::string Trim(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && isTrimmedByte(text[begin]))
        ++begin;
    return std::string(text.substr(begin, trimmedLength(text.substr(begin))));
}

std::string AlignToWidth(std::string_view text, std::uint16_t width, std::uint8_t alignment, bool caps)
{
    std::string piece;
    if (text.size() > width) {
        piece.assign(text.substr(0, width));
    } else {
        const std::size_t pad = width - text.size();
        switch (alignment) {
        case 0:
            piece.append(text).append(pad, ' ');
            break;
        case 1:
            piece.append(pad, ' ').append(text);
            break;
        case 2:
            piece.append(pad - pad / 2, ' ').append(text).append(pad / 2, ' ');
            break;
        default:
            piece.assign(text);
            break;
        }
    }
    if (caps) {
        for (char& c : piece) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return piece;
}

std::string GenerateResult::errorMessage() const
{
    return badLineIndex ? formatMessage("List index out of bounds (%d)", *badLineIndex) : std::string();
}

GenerateResult GenerateLines(std::string_view templateBytes, const SectionList& sections)
{
    GenerateResult tooLarge;
    tooLarge.tooLarge = true;
    // The file's size is followed from the line lengths, so a section's lines are counted
    // before they are built.
    std::size_t size = joinedTextSize(templateBytes);
    if (size > kGeneratedFileLimit)
        return tooLarge;
    std::size_t work = 0;

    TemplateLines lines(templateBytes);
    LineArena arena;
    LineShifts shifts(sections);

    std::string scratch;
    std::vector<std::string_view> built;
    std::vector<DisplayLine> shownLines;
    for (const TParam& section : sections) {
        const long long line = shifts.current(section.Line);
        if (line < 1 || line > static_cast<long long>(lines.count())) {
            GenerateResult failed;
            failed.badLineIndex = line - 1;
            return failed;
        }
        const std::size_t index = static_cast<std::size_t>(line - 1);
        const std::string_view old = lines.at(index);
        const std::string base = removeField(old, section.Start, section.Width);

        std::string_view value = section.Value;
        if (section.Style) {
            // The value as a text box holds it: up to its first NUL.
            value = value.substr(0, value.find('\0'));
            shownLines = layoutDisplayLines(value, section.Width);
            // No displayed lines: the template line stays as it was, field characters included.
            if (shownLines.empty())
                continue;
        } else {
            // One piece, even when the value holds line breaks.
            shownLines.assign(1, DisplayLine {0, value.size()});
        }

        std::size_t added = 0;
        for (const DisplayLine& shown : shownLines)
            added += base.size() + pieceSize(value.substr(shown.start, shown.length), section) + 2;
        size = size - (old.size() + 2) + added;
        work += added;
        if (size > kGeneratedFileLimit || work > kGenerationWorkLimit)
            return tooLarge;

        built.clear();
        for (const DisplayLine& shown : shownLines) {
            const std::string piece = AlignToWidth(Trim(value.substr(shown.start, shown.length)), section.Width,
                                                   section.Alignment, section.Caps);
            insertPiece(scratch, base, piece, section.Start);
            built.push_back(arena.store(scratch));
        }
        lines.replace(index, built);

        if (built.size() > 1)
            shifts.shiftBeyond(line, static_cast<long long>(built.size()) - 1);
    }

    GenerateResult result;
    result.bytes = lines.bytes();
    return result;
}

} // namespace pkm
