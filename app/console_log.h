#pragma once
// ConsoleLog: an archiver's output lines printed as the log box shows them. On a terminal a
// progress state rewrites the line it belongs to, as the log box does, and the run's own
// progress (status) stays on one line below the output, rewritten in place; elsewhere (a file,
// a pipe) every line is printed as it came and the status is left out.
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace pkm {

// Where the output goes.
struct Console {
    bool terminal = false;
    // The terminal's width, 0 when it is not known (lines are then taken not to wrap).
    std::size_t columns = 0;
};

class ConsoleLog {
public:
    // withProgress: progress states are applied to the last line (the Rar page's log); without
    // it every line is a line of its own (the Zip page's log).
    ConsoleLog(std::ostream& out, const Console& console, bool withProgress);

    void line(const std::string& text);
    // The run's progress, on a terminal only.
    void status(const std::string& text);
    // Ends the last line, if it is still open for progress; the status goes.
    void finish();

private:
    void hideStatus();
    void showStatus();
    // Rows of the terminal a line takes.
    std::size_t rows(const std::string& text) const;

    std::ostream& out_;
    Console console_;
    bool withProgress_;
    // The log's last line, as progress states have made it.
    std::vector<std::string> last_;
    bool open_ = false;
    // The cursor is at the start of an empty row: the open line, if any, lies above it.
    bool atRowStart_ = true;
    std::string status_;
    bool statusShown_ = false;
};

} // namespace pkm
