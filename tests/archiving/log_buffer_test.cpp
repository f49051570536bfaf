#include "archiving/log_buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using pkm::LogBuffer;

TEST(LogBuffer, HoldsTheNewestLinesOfTheLogByTheSameRule)
{
    std::mt19937 random(2024);
    const std::vector<std::string> texts {"Adding file.bin   ", " 10%", "100%", "ab", "", "x", "Done", "  5%"};
    const std::size_t keep = 5000;
    LogBuffer buffer(keep);
    for (int round = 0; round < 3; ++round) {
        buffer.clear();
        std::vector<std::string> reference;
        const int ops = 1 + static_cast<int>(random() % 16000);
        for (int i = 0; i < ops; ++i) {
            std::string text = texts[random() % texts.size()];
            // Now and then a line longer than a box shows, with or without "%".
            if (random() % 200 == 0)
                text = std::string(pkm::kLongestShownLine + random() % 9, 'y') + text;
            pkm::addLogLine(reference, text);
            if (text.find('%') != std::string::npos)
                buffer.progress(text);
            else
                buffer.append(text);
            ASSERT_EQ(buffer.lastLine(), reference.back());
        }
        ASSERT_EQ(buffer.leftOut() + buffer.size(), reference.size()) << "round " << round;
        EXPECT_GE(buffer.size(), std::min(keep, reference.size()));
        EXPECT_LT(buffer.size(), 2 * keep);
        for (std::size_t i = 0; i < buffer.size(); ++i)
            ASSERT_EQ(buffer.line(i), pkm::shownLogLine(reference[buffer.leftOut() + i])) << "line " << i;
    }
}

TEST(LogBuffer, KeepsTheNewest200000LinesAtLeastWhenEarlierOnesGo)
{
    // After every line, past the points where the oldest chunks (4096 lines each) go.
    const std::size_t keep = LogBuffer::kDefaultKeep;
    LogBuffer buffer;
    for (std::size_t total = 1; total <= keep + 4 * 4096; ++total) {
        buffer.append(std::to_string(total - 1));
        if (total < keep - 10)
            continue;
        ASSERT_GE(buffer.size(), std::min(keep, total)) << total;
        ASSERT_LT(buffer.size(), keep + 2 * 4096) << total;
        ASSERT_EQ(buffer.leftOut() + buffer.size(), total);
        ASSERT_EQ(buffer.line(0), std::to_string(buffer.leftOut())) << total;
        ASSERT_EQ(buffer.line(buffer.size() - 1), std::to_string(total - 1));
    }
    EXPECT_GT(buffer.leftOut(), 0u);
}

TEST(LogBuffer, AVeryLongLineIsShownCutWithTheCountOfWhatIsLeftOut)
{
    LogBuffer buffer;
    buffer.append(std::string(pkm::kLongestShownLine + 100, 'x'));
    EXPECT_EQ(buffer.line(0), std::string(pkm::kLongestShownLine, 'x') + " [... 100 more characters]");
    // Progress goes on from the whole line, not from what is shown of it.
    buffer.progress(" 50%");
    EXPECT_EQ(buffer.line(0), std::string(pkm::kLongestShownLine, 'x') + " [... 100 more characters]");
    EXPECT_EQ(buffer.lastLine(), std::string(pkm::kLongestShownLine + 96, 'x') + " 50%");
}

TEST(LogRule, ProgressLinesReplaceTheLastFourCharacters)
{
    using Log = std::vector<std::string>;
    const struct {
        const char* what;
        Log log;
        std::string line;
        Log expected;
    } rows[] = {
        {"plain line appended", {"a"}, "b", {"a", "b"}},
        {"progress replaces the counter", {"Adding f    "}, " 10%", {"Adding f 10%"}},
        {"next state replaces the last", {"Adding f 10%"}, "100%", {"Adding f100%"}},
        {"last line shorter than four", {"x", "ab"}, "5%", {"x", "5%"}},
        {"last line empty", {""}, "7%", {"7%"}},
        {"empty log", {}, " 1%", {" 1%"}},
        {"percent anywhere makes progress", {"abcdef"}, "done 100% ok", {"abdone 100% ok"}},
        {"empty plain line", {"a"}, "", {"a", ""}},
    };
    for (const auto& row : rows) {
        Log log = row.log;
        pkm::addLogLine(log, row.line);
        EXPECT_EQ(log, row.expected) << row.what;
    }
}
