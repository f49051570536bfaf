#pragma once
// The fixed-font window's size for a text it shows whole: wide enough for the longest line and
// tall enough for every line, within the screen's available area, never smaller than the
// window's own design size.
#include <cstddef>

namespace pkm {

struct TextWindowMetrics {
    int advance = 8;     // pixels a character advances
    int lineHeight = 16; // pixels a line is high
    int scrollBarWidth = 0;
    // The largest client area the screen leaves for the window: its available area less the
    // window's frame.
    int availableWidth = 0;
    int availableHeight = 0;
};

struct TextWindowSize {
    int clientWidth = 0;
    int clientHeight = 0;
    // The text is taller than the window: the memo shows a vertical scroll bar, and the
    // window is that much wider so that the bar takes no column.
    bool scrollBar = false;
    bool operator==(const TextWindowSize&) const = default;
};

// The window's design client size; its memo is 20 pixels narrower and 55 lower.
inline constexpr int kTextWindowWidth = 592;
inline constexpr int kTextWindowHeight = 373;
inline constexpr int kMemoHorizontalInset = 20;
inline constexpr int kMemoVerticalInset = 55;
// The memo's frame and document margin around its text, on both sides together.
inline constexpr int kMemoTextInset = 6;

TextWindowSize TextWindowSizeFor(std::size_t columns, std::size_t lines, const TextWindowMetrics& metrics);

} // namespace pkm
