#include "templates/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pkm;
using namespace std::string_literals;

TEST(TextLines, SplitsAtEveryKindOfLineEndAndStopsAtNul)
{
    // An editor's paragraphs differ from the lines only at the end: a last line end, like an
    // empty text, leaves an empty paragraph.
    struct Row {
        std::string text;
        std::vector<std::string> lines;
        std::vector<std::string> paragraphs;
    };
    const Row rows[] = {
        {"", {}, {""}},
        {"\r\n", {""}, {"", ""}},
        {"\r", {""}, {"", ""}},
        {"\n", {""}, {"", ""}},
        {"abc", {"abc"}, {"abc"}},
        {"abc\r\n", {"abc"}, {"abc", ""}},
        {"abc\r\ndef", {"abc", "def"}, {"abc", "def"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}, {"a", "b", "c", "d"}},
        {"a\n\rb", {"a", "", "b"}, {"a", "", "b"}},   // LF then CR: two line ends
        {"a\r\r\nb", {"a", "", "b"}, {"a", "", "b"}}, // lone CR, then CR LF
        {"a\r\n\r\n", {"a", ""}, {"a", "", ""}},      // only the very last line end adds nothing
        {"\r\n\r\nx", {"", "", "x"}, {"", "", "x"}},
        {"ab\0cd\r\nef"s, {"ab"}, {"ab"}}, // everything from the NUL on is ignored
        {"ab\r\n\0cd"s, {"ab"}, {"ab", ""}},
        {"\0abc"s, {}, {""}},
        {"\xB0\xB1\xDB\t \x01\r\n"s, {"\xB0\xB1\xDB\t \x01"s}, {"\xB0\xB1\xDB\t \x01"s, ""}}, // bytes as they are
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.text));
        EXPECT_EQ(splitTextLines(row.text), row.lines);
        const std::vector<std::string_view> views = splitTextLineViews(row.text);
        EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), row.lines);
        EXPECT_EQ(splitTextParagraphs(row.text), row.paragraphs);
    }
}

TEST(TextLines, JoinPutsCrLfAfterEveryLineTheLastToo)
{
    EXPECT_EQ(joinTextLines(std::vector<std::string> {}), "");
    EXPECT_EQ(joinTextLines(std::vector<std::string> {""}), "\r\n");
    EXPECT_EQ(joinTextLines(std::vector<std::string> {"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinTextLines(std::vector<std::string_view> {"x", "y"}), "x\r\ny\r\n");
}

TEST(TextLines, SplitThenJoinTurnsEveryLineEndIntoCrLf)
{
    EXPECT_EQ(joinTextLines(splitTextLines("a\rb\nc\r\nd")), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(joinTextLines(splitTextLines("a\r\nb\r\n")), "a\r\nb\r\n");
}
