#pragma once
// ConsoleLog: an archiver's output lines printed as the log box shows them. On a terminal a
// progress state rewrites the line it belongs to, as the log box does; elsewhere (a file, a
// pipe) every line is printed as it came.
#include <iosfwd>
#include <string>
#include <vector>

namespace pkm {

class ConsoleLog {
public:
    // withProgress: progress states are applied to the last line (the Rar page's log); without
    // it every line is a line of its own (the Zip page's log).
    ConsoleLog(std::ostream& out, bool terminal, bool withProgress);

    void line(const std::string& text);
    // Ends the last line, if it is still open for progress.
    void finish();

private:
    std::ostream& out_;
    bool terminal_;
    bool withProgress_;
    // The log's last line, as progress states have made it.
    std::vector<std::string> last_;
    bool open_ = false;
};

} // namespace pkm
