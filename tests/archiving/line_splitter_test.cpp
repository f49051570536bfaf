#include "archiving/line_splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using pkm::LineSplitter;

namespace {

using Lines = std::vector<std::string>;

struct Collector {
    Lines lines;
    LineSplitter splitter {[this](const std::string& line) { lines.push_back(line); }};
};

Lines splitChunks(const std::vector<std::string>& chunks)
{
    Collector c;
    for (const std::string& chunk : chunks)
        c.splitter.SplitChunk(chunk);
    c.splitter.FlushPending();
    return c.lines;
}

Lines splitInPiecesOf(const std::string& output, std::size_t size)
{
    Collector c;
    for (std::size_t pos = 0; pos < output.size(); pos += size)
        c.splitter.SplitChunk(std::string_view(output).substr(pos, size));
    c.splitter.FlushPending();
    return c.lines;
}

std::string withNul(const char* text, std::size_t size)
{
    return std::string(text, size);
}

} // namespace

TEST(LineSplitter, SplitsChunksAsAConsoleShowsThem)
{
    const struct {
        const char* what;
        std::vector<std::string> chunks;
        Lines expected;
    } rows[] = {
        {"CR LF", {"a\r\nb"}, {"a", "b"}},
        {"LF CR", {"a\n\rb"}, {"a", "b"}},
        {"CR then LF in the next chunk", {"a\r", "\nb"}, {"a", "b"}},
        {"LF then CR in the next chunk", {"a\n", "\rb"}, {"a", "b"}},
        {"lone CR and lone LF", {"a\rb\nc"}, {"a", "b", "c"}},
        {"backspace run", {"x\b\b\b\by"}, {"x", "y"}},
        {"two CRs", {"a\r\r"}, {"a", ""}},
        {"two LFs", {"a\n\nb"}, {"a", "", "b"}},
        {"CR LF CR", {"a\r\n\rb"}, {"a", "", "b"}},
        {"CR LF CR LF", {"a\r\n\r\nb"}, {"a", "", "b"}},
        {"CR then backspace", {"a\r\bb"}, {"a", "", "b"}},
        {"backspaces then LF", {"a\b\b\nb"}, {"a", "", "b"}},
        {"no output", {}, {}},
        {"empty chunk", {""}, {}},
        {"no final line end", {"a\nlast"}, {"a", "last"}},
        {"line over several chunks", {"ab", "cd", "ef\n"}, {"abcdef"}},
        {"NUL ends the chunk's text", {withNul("ab\0cd\nef", 8), "gh\n"}, {"abgh"}},
        {"NUL first: nothing appended", {"a\r", withNul("\0x", 2), "\nb"}, {"a", "", "b"}},
        {"backspace run over two chunks", {"x\b\b", "\b\by"}, {"x", "y"}},
        {"chunk of backspaces only goes on with the run", {"x\b", "\b\b", "\by"}, {"x", "y"}},
        {"pair completed by a one-byte chunk", {"a\r", "\n", "\nb"}, {"a", "", "b"}},
        {"pair already complete in its chunk", {"a\r\n", "\rb"}, {"a", "", "b"}},
        {"progress", {"Adding f    \b\b\b\b 10%\b\b\b\b100%\r\n"}, {"Adding f    ", " 10%", "100%"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(splitChunks(row.chunks), row.expected) << row.what;
}

TEST(LineSplitter, SameLinesWhereverTheChunksAreCut)
{
    // Archiver-like output: words, every kind of line end, backspace progress, empty lines.
    std::mt19937 random(1234);
    const char alphabet[] = "abc %\r\n\b";
    std::string output;
    for (int i = 0; i < 3000; ++i) {
        const auto pick = random() % 20;
        output += pick < 12 ? alphabet[random() % 3] : alphabet[3 + pick % 5];
    }
    output += "Adding rel.bin    \b\b\b\b  5%\b\b\b\b 50%\b\b\b\b100%\r\n\r\n\n\r";

    const Lines whole = splitChunks({output});
    ASSERT_GT(whole.size(), 100u);
    for (std::size_t size = 1; size <= LineSplitter::kChunkSize; ++size)
        ASSERT_EQ(splitInPiecesOf(output, size), whole) << "chunks of " << size;
}

TEST(LineSplitter, KeepsOnlyTheUnterminatedTail)
{
    Collector c;
    c.splitter.SplitChunk("one\ntwo\nthr");
    EXPECT_EQ(c.lines, (Lines {"one", "two"}));
    EXPECT_EQ(c.splitter.PendingText, "thr");
    EXPECT_EQ(c.splitter.ScanPos, 3u);
    c.splitter.SplitChunk("ee");
    EXPECT_EQ(c.splitter.PendingText, "three");
    EXPECT_EQ(c.splitter.ScanPos, 5u);
    c.splitter.FlushPending();
    EXPECT_EQ(c.lines.back(), "three");
    EXPECT_TRUE(c.splitter.PendingText.empty());
    EXPECT_EQ(c.splitter.ScanPos, 0u);
    c.splitter.FlushPending();
    EXPECT_EQ(c.lines.size(), 3u) << "a second flush emits nothing";
}

TEST(LineSplitter, NextRunOnTheSameObjectCompletesALoneLineEnd)
{
    // A run that ended with a lone LF: the next run's leading CR is the second half of that pair.
    Collector c;
    c.splitter.SplitChunk("a\n");
    c.splitter.FlushPending();
    EXPECT_EQ(c.splitter.LastChar, 0x0A00);
    c.splitter.SplitChunk("\rb");
    c.splitter.FlushPending();
    EXPECT_EQ(c.lines, (Lines {"a", "b"}));

    // A run that ended with a complete CR LF leaves nothing to complete.
    Collector d;
    d.splitter.SplitChunk("a\r\n");
    d.splitter.FlushPending();
    d.splitter.SplitChunk("\rb");
    d.splitter.FlushPending();
    EXPECT_EQ(d.lines, (Lines {"a", "", "b"}));
}

TEST(LineSplitter, LongLineOverManyChunks)
{
    const std::string longLine(100000, 'x');
    const Lines lines = splitInPiecesOf(longLine + "\r\nend", 256);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], longLine);
    EXPECT_EQ(lines[1], "end");
}

TEST(LineSplitter, WithoutHandlerLinesAreDropped)
{
    LineSplitter splitter;
    splitter.SplitChunk("a\nb");
    splitter.FlushPending();
    EXPECT_TRUE(splitter.PendingText.empty());
}

TEST(LineSplitter, AnEmptyChunkBetweenTwoHalvesChangesNothing)
{
    // Found by fuzzing: an empty chunk forgot a backspace run or CR/LF pair under way.
    const std::vector<std::pair<std::vector<std::string>, Lines>> rows = {
        {{"ab\b\b", "", "\b\bcd"}, {"ab", "cd"}},
        {{"ab\r", "", "\ncd\r\n"}, {"ab", "cd"}},
        {{"ab\n", "", "", "\rcd"}, {"ab", "cd"}},
    };
    for (const auto& [chunks, expected] : rows)
        EXPECT_EQ(splitChunks(chunks), expected);
}
