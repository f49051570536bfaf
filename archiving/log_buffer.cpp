#include "archiving/log_buffer.h"

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
    overwriteProgress(log.back(), line);
}

void overwriteProgress(std::string& last, std::string_view state)
{
    last.erase(last.size() - std::min<std::size_t>(4, last.size()));
    last += state;
}

std::string shownLogLine(std::string_view line)
{
    if (line.size() <= kLongestShownLine)
        return std::string(line);
    return std::string(line.substr(0, kLongestShownLine)) + " [... " + std::to_string(line.size() - kLongestShownLine)
        + " more characters]";
}

LogBuffer::LogBuffer(std::size_t keep)
    : keep_(std::max<std::size_t>(keep, 1))
{
}

void LogBuffer::append(std::string_view line)
{
    ++revision_;
    last_.assign(line);
    if (chunks_.empty() || chunks_.back().ends.size() == kChunkLines) {
        if (!chunks_.empty())
            chunks_.back().bytes.shrink_to_fit();
        // The oldest chunk goes once the others hold the lines to keep.
        if (size_ >= keep_ + kChunkLines) {
            chunks_.pop_front();
            size_ -= kChunkLines;
            leftOut_ += kChunkLines;
        }
        chunks_.emplace_back();
        chunks_.back().ends.reserve(kChunkLines);
    }
    Chunk& chunk = chunks_.back();
    if (line.size() <= kLongestShownLine)
        chunk.bytes.append(line);
    else
        chunk.bytes += shownLogLine(line);
    chunk.ends.push_back(static_cast<std::uint32_t>(chunk.bytes.size()));
    ++size_;
}

void LogBuffer::progress(std::string_view text)
{
    if (size_ == 0) {
        append(text);
        return;
    }
    ++revision_;
    overwriteProgress(last_, text);
    Chunk& chunk = chunks_.back();
    const std::size_t start = chunk.ends.size() > 1 ? chunk.ends[chunk.ends.size() - 2] : 0;
    chunk.bytes.resize(start);
    if (last_.size() <= kLongestShownLine)
        chunk.bytes += last_;
    else
        chunk.bytes += shownLogLine(last_);
    chunk.ends.back() = static_cast<std::uint32_t>(chunk.bytes.size());
}

void LogBuffer::clear()
{
    ++revision_;
    chunks_.clear();
    size_ = 0;
    leftOut_ = 0;
    last_.clear();
}

std::string_view LogBuffer::line(std::size_t i) const
{
    const Chunk& chunk = chunks_[i / kChunkLines];
    const std::size_t k = i % kChunkLines;
    const std::size_t start = k == 0 ? 0 : chunk.ends[k - 1];
    return std::string_view(chunk.bytes).substr(start, chunk.ends[k] - start);
}

} // namespace pkm
