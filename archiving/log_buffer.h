#pragma once
// The lines of a run's log. A run may print millions of lines, far faster than a box can draw
// them: the log keeps them packed in chunks, the newest `keep` lines at least (earlier ones
// go a chunk at a time and are counted), so its memory stays bounded and the closing lines
// are always there. A box shows what it holds, only the part that is on screen.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

// A line containing "%" is a progress state of the line before it, not a line of its own.
bool isProgressLine(const std::string& line);

// The log rule for one new output line: a line containing "%" is a progress state and replaces
// the last four characters of the log's last line (the whole line when it is shorter); any
// other line is appended. LogBuffer keeps a log by the same rule.
void addLogLine(std::vector<std::string>& log, const std::string& line);
// A progress state over the last line: its last four characters (all of them when it is
// shorter) give way to the state, as a console's backspaces and counter leave it.
void overwriteProgress(std::string& last, std::string_view state);

// A box cannot lay out a line of megabytes in reasonable time: a line longer than this is
// shown cut, followed by " [... n more characters]".
inline constexpr std::size_t kLongestShownLine = 16 * 1024;
std::string shownLogLine(std::string_view line);

class LogBuffer {
public:
    static constexpr std::size_t kDefaultKeep = 200000;
    explicit LogBuffer(std::size_t keep = kDefaultKeep);

    // A new last line.
    void append(std::string_view line);
    // A progress state: the last line loses its last four characters (all of them when it is
    // shorter) and gets the new text appended; with no line yet the text becomes the first line.
    void progress(std::string_view text);
    // Forgets every line.
    void clear();

    // Lines held, the newest of the log.
    std::size_t size() const { return size_; }
    // Earlier lines no longer held.
    std::size_t leftOut() const { return leftOut_; }
    // Line `i` of those held (0 the oldest), as shown: cut when very long.
    std::string_view line(std::size_t i) const;
    // The log's last line in full.
    const std::string& lastLine() const { return last_; }
    // Grows with every change, so a box knows whether it shows the log as it stands.
    std::uint64_t revision() const { return revision_; }

private:
    static constexpr std::size_t kChunkLines = 4096;
    // Consecutive lines in one string; ends[k] is the end of line k. Every chunk but the
    // last holds kChunkLines lines.
    struct Chunk {
        std::string bytes;
        std::vector<std::uint32_t> ends;
    };
    std::size_t keep_;
    std::deque<Chunk> chunks_;
    std::size_t size_ = 0;
    std::size_t leftOut_ = 0;
    std::string last_;
    std::uint64_t revision_ = 0;
};

} // namespace pkm
