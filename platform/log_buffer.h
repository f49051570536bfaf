#pragma once
// The lines a log box still has to show. Lines and progress updates arrive faster than a box
// can draw them; they are collected here and applied in one batch, with the same result as
// applying them one by one. Only the lines since the last batch are held, plus the last line.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace pkm {

// A line containing "%" is a progress state of the line before it, not a line of its own.
bool isProgressLine(const std::string& line);

// The log rule for one new output line: a line containing "%" is a progress state and replaces
// the last four characters of the log's last line (the whole line when it is shorter); any
// other line is appended. LogBuffer gives a box the same result in batches.
void addLogLine(std::vector<std::string>& log, const std::string& line);

class LogBuffer {
public:
    // A new last line.
    void append(std::string line);
    // A progress state: the last line loses its last four characters (all of them when it is
    // shorter) and gets the new text appended; with no line yet the text becomes the first line.
    void progress(const std::string& text);
    // Forgets every line, shown or not.
    void clear();

    struct Batch {
        bool replaceLast = false;      // the box's last shown line becomes `lastShown`
        std::string lastShown;
        std::vector<std::string> added; // lines to append after it
    };
    // What changed since the previous take, at most `maxLines` of the added lines (the oldest
    // first); what is taken counts as shown.
    Batch take(std::size_t maxLines = static_cast<std::size_t>(-1));
    bool hasPending() const { return replaceLast_ || !added_.empty(); }

    // The log's last line as it stands, shown or not.
    const std::string& lastLine() const { return last_; }
    std::size_t lineCount() const { return count_; }

private:
    std::deque<std::string> added_;
    bool replaceLast_ = false;
    std::string replacement_; // the new text of the last line already shown
    std::string last_;
    std::size_t count_ = 0;
};

} // namespace pkm
