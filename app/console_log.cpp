#include "app/console_log.h"

#include "archiving/log_buffer.h"

#include <ostream>

namespace pkm {

ConsoleLog::ConsoleLog(std::ostream& out, bool terminal, bool withProgress)
    : out_(out)
    , terminal_(terminal)
    , withProgress_(withProgress)
{
}

void ConsoleLog::line(const std::string& text)
{
    if (!terminal_ || !withProgress_) {
        out_ << text << '\n' << std::flush;
        return;
    }
    if (isProgressLine(text) && open_) {
        addLogLine(last_, text);
        // Back to the line's start, the line as it stands now, the rest of the old one erased.
        out_ << '\r' << last_.back() << "\x1b[K" << std::flush;
        return;
    }
    // The line stays open: a progress state may still rewrite it.
    if (open_)
        out_ << '\n';
    last_.assign(1, text);
    out_ << text << std::flush;
    open_ = true;
}

void ConsoleLog::finish()
{
    if (open_)
        out_ << '\n' << std::flush;
    open_ = false;
}

} // namespace pkm
