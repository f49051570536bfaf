#include "templates/text_window_size.h"

#include <algorithm>
#include <cstdint>

namespace pkm {

namespace {

// Pixels for `count` cells of `cell` pixels plus `extra`, held in an int however long the text.
int span(std::size_t count, int cell, int extra)
{
    const std::int64_t pixels = static_cast<std::int64_t>(std::min<std::size_t>(count, 1u << 24)) * cell + extra;
    return static_cast<int>(std::min<std::int64_t>(pixels, 1 << 30));
}

} // namespace

TextWindowSize TextWindowSizeFor(std::size_t columns, std::size_t lines, const TextWindowMetrics& metrics)
{
    const int wantedWidth = std::max(kTextWindowWidth,
                                     span(columns, metrics.advance, kMemoTextInset + kMemoHorizontalInset));
    const int wantedHeight = std::max(kTextWindowHeight,
                                      span(lines, metrics.lineHeight, kMemoTextInset + kMemoVerticalInset));
    // A screen smaller than the design size still gets the design size.
    const int mostWidth = std::max(kTextWindowWidth, metrics.availableWidth);
    const int mostHeight = std::max(kTextWindowHeight, metrics.availableHeight);
    TextWindowSize size;
    size.scrollBar = wantedHeight > mostHeight;
    size.clientHeight = std::min(wantedHeight, mostHeight);
    size.clientWidth = std::min(wantedWidth + (size.scrollBar ? metrics.scrollBarWidth : 0), mostWidth);
    return size;
}

} // namespace pkm
