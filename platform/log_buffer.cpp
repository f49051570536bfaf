#include "platform/log_buffer.h"

#include <algorithm>

namespace pkm {

bool isProgressLine(const std::string& line)
{
    return line.find('%') != std::string::npos;
}

void addLogLine(std::vector<std::string>& log, const std::string& line)
{
    if (!isProgressLine(line) || log.empty()) {
        log.push_back(line);
        return;
    }
    std::string& last = log.back();
    last.erase(last.size() - std::min<std::size_t>(4, last.size()));
    last += line;
}

void LogBuffer::append(std::string line)
{
    last_ = line;
    added_.push_back(std::move(line));
    ++count_;
}

void LogBuffer::progress(const std::string& text)
{
    if (count_ == 0) {
        append(text);
        return;
    }
    last_.resize(last_.size() >= 4 ? last_.size() - 4 : 0);
    last_ += text;
    if (!added_.empty()) {
        added_.back() = last_;
    } else {
        replaceLast_ = true;
        replacement_ = last_;
    }
}

void LogBuffer::clear()
{
    added_.clear();
    replaceLast_ = false;
    replacement_.clear();
    last_.clear();
    count_ = 0;
}

LogBuffer::Batch LogBuffer::take(std::size_t maxLines)
{
    Batch b;
    b.replaceLast = replaceLast_;
    if (replaceLast_)
        b.lastShown = std::move(replacement_);
    replaceLast_ = false;
    const std::size_t n = std::min(maxLines, added_.size());
    b.added.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        b.added.push_back(std::move(added_.front()));
        added_.pop_front();
    }
    return b;
}

} // namespace pkm
