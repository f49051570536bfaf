// The DIZ lines BBS and archive software does not read whole: each named.
#include "templates/diz_limits.h"

#include <gtest/gtest.h>

#include <string>

using namespace pkm;

namespace {

std::string lines(int count, std::size_t width = 10)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(width, 'x') + "\r\n";
    return text;
}

} // namespace

TEST(DizLimits, LinesLongerThan45AndLinesPast10AreNamed)
{
    const std::string head = "BBS and archive software reads at most 45 characters a line and 10 lines of a DIZ file.";
    const std::string wide = std::string(46, 'w') + "\r\n";
    const struct {
        std::string text;
        std::optional<std::string> notice;
    } cases[] = {
        {"", std::nullopt},
        {lines(10, 45), std::nullopt},
        // A last line without its line end is a line; an empty last line is one.
        {lines(9, 45) + std::string(45, 'x'), std::nullopt},
        {lines(10) + "\r\n", head + "\rThe file has 11 lines: line 11 is past the 10 read."},
        {lines(2) + wide, head + "\rLine 3 is longer than 45 characters."},
        {wide + lines(1) + wide + lines(9) + wide,
         head
             + "\rLines 1, 3 and 13 are longer than 45 characters.\rThe file has 13 lines: lines 11 to 13 are past "
               "the 10 read."},
        {lines(0, 46) + std::string(10, 'x') + "\r\n" + lines(9, 46),
         head + "\rLines 2, 3, 4, 5, 6, 7, 8, 9 and 1 more are longer than 45 characters."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DizLimitsNotice(c.text), c.notice);
    }
}
