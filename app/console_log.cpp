// ConsoleLog: the log rule on a terminal, with the run's progress kept on its last row.
#include "app/console_log.h"

#include "archiving/log_buffer.h"

#include <algorithm>
#include <ostream>

namespace pkm {

ConsoleLog::ConsoleLog(std::ostream& out, const Console& console, bool withProgress)
    : out_(out)
    , console_(console)
    , withProgress_(withProgress)
{
}

std::size_t ConsoleLog::rows(const std::string& text) const
{
    if (console_.columns == 0)
        return 1;
    // UTF-8 continuation bytes take no column of their own.
    const auto width = static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    return std::max<std::size_t>(1, (width + console_.columns - 1) / console_.columns);
}

void ConsoleLog::hideStatus()
{
    if (!statusShown_)
        return;
    out_ << "\r\x1b[K";
    statusShown_ = false;
    atRowStart_ = true;
}

void ConsoleLog::showStatus()
{
    if (status_.empty())
        return;
    if (!atRowStart_)
        out_ << '\n';
    out_ << status_ << "\x1b[K";
    statusShown_ = true;
    atRowStart_ = false;
}

void ConsoleLog::line(const std::string& text)
{
    if (!console_.terminal) {
        out_ << text << '\n' << std::flush;
        return;
    }
    hideStatus();
    if (withProgress_ && open_ && isProgressLine(text)) {
        const std::size_t before = rows(last_.back());
        addLogLine(last_, text);
        if (atRowStart_) {
            // The line lies above the status's row: up to its start, the line as it stands
            // now, the rest of the screen cleared.
            out_ << "\x1b[" << before << "A\r" << last_.back() << "\x1b[J";
        } else {
            // Back to the line's start, the line as it stands now, the rest of the old one erased.
            out_ << '\r' << last_.back() << "\x1b[K";
        }
        atRowStart_ = false;
    } else {
        if (!atRowStart_)
            out_ << '\n';
        out_ << text;
        if (withProgress_) {
            // The line stays open: a progress state may still rewrite it.
            last_.assign(1, text);
            open_ = true;
            atRowStart_ = false;
        } else {
            out_ << '\n';
            atRowStart_ = true;
        }
    }
    showStatus();
    out_ << std::flush;
}

void ConsoleLog::status(const std::string& text)
{
    if (!console_.terminal || text == status_)
        return;
    status_ = text;
    if (statusShown_)
        out_ << '\r' << status_ << "\x1b[K";
    else
        showStatus();
    out_ << std::flush;
}

void ConsoleLog::finish()
{
    hideStatus();
    status_.clear();
    if (!atRowStart_)
        out_ << '\n';
    out_ << std::flush;
    open_ = false;
    atRowStart_ = true;
}

} // namespace pkm
