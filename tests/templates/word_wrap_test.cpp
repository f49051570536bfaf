#include "templates/word_wrap.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace pkm;
using Lines = std::vector<std::string>;

TEST(WordWrap, DisplayedLinesFollowTheWrappingRules)
{
    struct Row {
        std::string text;
        int width;
        Lines lines;
    };
    const Row rows[] = {
        // Whole words per line; the blank at the wrap point stays on the line it follows.
        {"one two three four", 9, {"one two ", "three ", "four"}},
        {"aaaa bbbb cccc", 10, {"aaaa bbbb ", "cccc"}},
        {"aaaa bbbb", 9, {"aaaa bbbb"}},
        {"aaaa bbbb ", 9, {"aaaa bbbb "}},
        {"ab cd", 2, {"ab ", "cd"}},
        // Several blanks at a wrap point all stay behind, however many.
        {"abc      def", 4, {"abc      ", "def"}},
        {"abc def   ", 7, {"abc def   "}},
        // A word longer than the width is cut; its rest wraps by the same rules.
        {"abcdefghij", 5, {"abcde", "fghij"}},
        {"abcdefghijk", 5, {"abcde", "fghij", "k"}},
        {"abcdefgh ij", 5, {"abcde", "fgh ", "ij"}},
        {"ab cdefghijk", 5, {"ab ", "cdefg", "hijk"}},
        // Leading blanks stay on the first line; a word that does not fit after them moves on.
        {"   ab", 5, {"   ab"}},
        {"   abc", 5, {"   ", "abc"}},
        {"   abcdefgh", 5, {"   ", "abcde", "fgh"}},
        {"        ab", 4, {"        ", "ab"}},
        {"        ", 4, {"        "}},
        // Hard breaks: CR LF, lone CR, lone LF; empty hard lines are empty displayed lines.
        {"a\r\nb", 5, {"a", "b"}},
        {"a\rb\nc", 5, {"a", "b", "c"}},
        {"\r\na", 5, {"", "a"}},
        {"a\r\n\r\nb", 5, {"a", "", "b"}},
        {"one two\r\nthree four", 5, {"one ", "two", "three ", "four"}},
        // A last empty displayed line is not counted, only that one.
        {"", 5, {}},
        {"a\r\n", 5, {"a"}},
        {"a\r\n\r\n", 5, {"a", ""}},
        {"\r\n", 5, {""}},
        // A tab is one column and separates words.
        {"ab\tcd", 5, {"ab\tcd"}},
        {"abc\tdef", 4, {"abc\t", "def"}},
        // A width below 1 counts as 1.
        {"ab c", 0, {"a", "b ", "c"}},
        {"ab", -3, {"a", "b"}},
        // Bytes above 127 are ordinary characters.
        {"\xDB\xDB\xDB \xB0\xB0", 3, {"\xDB\xDB\xDB ", "\xB0\xB0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.text) + " at " + std::to_string(row.width));
        EXPECT_EQ(wrapDisplayLines(row.text, row.width), row.lines);
    }
}

TEST(WordWrap, LayoutGivesEachLinesStartAndLength)
{
    // "ab " | "cd" | CR LF | "" | CR LF | "efg" | "h"
    const std::vector<DisplayLine> lines = layoutDisplayLines("ab cd\r\n\r\nefgh", 3);
    const std::size_t expected[][2] = {{0, 3}, {3, 2}, {7, 0}, {9, 3}, {12, 1}};
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].start, expected[i][0]) << i;
        EXPECT_EQ(lines[i].length, expected[i][1]) << i;
    }
}

TEST(WordWrap, IndexFindsTheDisplayedLineThatHoldsIt)
{
    struct Row {
        std::string text;
        int width;
        std::size_t index;
        std::size_t line;
        std::size_t start;
    };
    const Row rows[] = {
        {"", 5, 0, 0, 0},
        {"one two three four", 9, 0, 0, 0},
        {"one two three four", 9, 7, 0, 0},   // the wrap-point blank
        {"one two three four", 9, 8, 1, 8},   // first character of the next line
        {"one two three four", 9, 18, 2, 14}, // the very end belongs to the last line
        {"abc\r\ndef", 9, 3, 0, 0},           // CR of the break
        {"abc\r\ndef", 9, 4, 0, 0},           // LF of the break
        {"abc\r\ndef", 9, 5, 1, 5},
        {"abc\r\n", 9, 5, 1, 5},    // the end after a final break: the empty line after it
        {"a\r\n\r\nb", 9, 3, 1, 3}, // on an empty line
        {"abcdefgh", 3, 6, 2, 6},
        {"abc", 3, 99, 0, 0}, // beyond the end counts as the end
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.text) + " index " + std::to_string(row.index));
        std::size_t start = 12345;
        EXPECT_EQ(displayLineOfIndex(row.text, row.width, row.index, &start), row.line);
        EXPECT_EQ(start, row.start);
        EXPECT_EQ(displayLineOfIndex(row.text, row.width, row.index), row.line);
    }
}

namespace {

// A plain re-statement of the rules over words: the hard lines are cut out first, each is
// taken apart into its leading blanks and (word, blanks after it) pairs, and lines are filled
// word by word.
Lines referenceWrap(const std::string& text, int width)
{
    const std::size_t w = width < 1 ? 1 : static_cast<std::size_t>(width);
    std::string unified;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the LF that follows stands for the pair
        unified += text[i] == '\r' ? '\n' : text[i];
    }
    Lines hardLines {""};
    for (char c : unified) {
        if (c == '\n')
            hardLines.emplace_back();
        else
            hardLines.back() += c;
    }

    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    Lines out;
    for (const std::string& hard : hardLines) {
        if (hard.empty()) {
            out.emplace_back();
            continue;
        }
        std::size_t i = 0;
        std::string current;
        while (i < hard.size() && blank(hard[i]))
            current += hard[i++];
        std::vector<std::pair<std::string, std::string>> words;
        while (i < hard.size()) {
            std::pair<std::string, std::string> word;
            while (i < hard.size() && !blank(hard[i]))
                word.first += hard[i++];
            while (i < hard.size() && blank(hard[i]))
                word.second += hard[i++];
            words.push_back(word);
        }
        for (std::size_t k = 0; k < words.size();) {
            std::string& word = words[k].first;
            if (current.size() + word.size() <= w) {
                current += word + words[k].second;
                ++k;
            } else if (!current.empty()) {
                out.push_back(current);
                current.clear();
            } else {
                out.push_back(word.substr(0, w));
                word.erase(0, w);
            }
        }
        if (!current.empty())
            out.push_back(current);
    }
    if (out.back().empty())
        out.pop_back();
    return out;
}

} // namespace

TEST(WordWrap, AgreesWithAPlainWordByWordWrapOverManyTexts)
{
    std::mt19937 random(20240601);
    const char alphabet[] = {'a', 'b', 'c', 'a', 'b', ' ', ' ', '\t', '\r', '\n', '\xDB'};
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % sizeof alphabet];
        const int width = static_cast<int>(random() % 12);
        SCOPED_TRACE(testing::PrintToString(text) + " at " + std::to_string(width));
        ASSERT_EQ(wrapDisplayLines(text, width), referenceWrap(text, width));

        // The displayed lines cover the text in order, with only line breaks between them.
        const std::vector<DisplayLine> lines = layoutDisplayLines(text, width);
        std::size_t at = 0;
        for (const DisplayLine& line : lines) {
            ASSERT_GE(line.start, at);
            const std::string between = text.substr(at, line.start - at);
            ASSERT_TRUE(between.empty() || between == "\r\n" || between == "\r" || between == "\n");
            at = line.start + line.length;
        }
        const std::string tail = text.substr(at);
        ASSERT_TRUE(tail.empty() || tail == "\r\n" || tail == "\r" || tail == "\n" || lines.empty()) << tail;

        // Every index lies on the line that displayLineOfIndex names.
        for (std::size_t index = 0; index <= text.size(); ++index) {
            std::size_t start = 0;
            const std::size_t number = displayLineOfIndex(text, width, index, &start);
            if (number < lines.size()) {
                ASSERT_EQ(start, lines[number].start);
                ASSERT_GE(index, start);
                if (number + 1 < lines.size()) {
                    ASSERT_LT(index, lines[number + 1].start);
                }
            } else {
                // Only the empty line after a final break (or of an empty text) lies beyond.
                ASSERT_EQ(number, lines.size());
                ASSERT_GE(index, start);
            }
        }
    }
}
