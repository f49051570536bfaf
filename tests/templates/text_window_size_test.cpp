// The fixed-font window sized to the text it shows, on a fixed virtual screen.
#include "templates/text_window_size.h"

#include <gtest/gtest.h>

using namespace pkm;

TEST(TextWindowSize, WholeTextWithinTheScreenNeverBelowTheDesignSize)
{
    // 8 x 16 cells, a 14-pixel scroll bar; a 1024 x 768 screen leaves 1024 x 720 to the client.
    TextWindowMetrics screen {8, 16, 14, 1024, 720};
    const struct {
        std::size_t columns;
        std::size_t lines;
        TextWindowSize size;
    } cases[] = {
        // An 80-column NFO of 24 lines and the empty paragraph after its last line end.
        {80, 25, {80 * 8 + 26, 25 * 16 + 61, false}},
        {10, 3, {592, 373, false}},  // a short DIZ keeps the design size
        {70, 19, {592, 373, false}}, // the design size holds 70 columns and 19 lines
        {71, 20, {71 * 8 + 26, 20 * 16 + 61, false}},
        {80, 41, {80 * 8 + 26, 41 * 16 + 61, false}}, // 717 of 720
        {80, 42, {80 * 8 + 26 + 14, 720, true}},      // 42 lines do not fit: the bar widens the window
        {80, 200, {80 * 8 + 26 + 14, 720, true}},
        {200, 5, {1024, 373, false}}, // wider than the screen: what does not fit wraps
        {1000000000, 1000000000, {1024, 720, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.columns) + " columns, " + std::to_string(c.lines) + " lines");
        EXPECT_EQ(TextWindowSizeFor(c.columns, c.lines, screen), c.size);
    }
    // A screen smaller than the design size.
    EXPECT_EQ(TextWindowSizeFor(80, 200, {8, 16, 14, 500, 300}), (TextWindowSize {592, 373, true}));
}
