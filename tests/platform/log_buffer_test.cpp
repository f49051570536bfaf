#include "platform/log_buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using pkm::LogBuffer;

namespace {

// What a box shows after applying a batch.
void applyBatch(std::vector<std::string>& shown, const LogBuffer::Batch& batch)
{
    if (batch.replaceLast) {
        ASSERT_FALSE(shown.empty());
        shown.back() = batch.lastShown;
    }
    shown.insert(shown.end(), batch.added.begin(), batch.added.end());
}

} // namespace

TEST(LogBuffer, BatchesGiveTheSameLogAsApplyingEveryLineAtOnce)
{
    std::mt19937 random(2024);
    const std::vector<std::string> texts {"Adding file.bin   ", " 10%", "100%", "ab", "", "x", "Done", "  5%"};
    for (int round = 0; round < 300; ++round) {
        LogBuffer buffer;
        std::vector<std::string> reference;
        std::vector<std::string> shown;
        const int ops = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < ops; ++i) {
            const std::string& text = texts[random() % texts.size()];
            // A line with "%" is a progress state, as the volume run's log treats it.
            pkm::addLogLine(reference, text);
            if (text.find('%') != std::string::npos)
                buffer.progress(text);
            else
                buffer.append(text);
            EXPECT_EQ(buffer.lastLine(), reference.back());
            if (random() % 4 == 0)
                applyBatch(shown, buffer.take());
        }
        applyBatch(shown, buffer.take());
        ASSERT_EQ(shown, reference) << "round " << round;
        EXPECT_FALSE(buffer.hasPending());
    }
}

TEST(LogBuffer, HoldsOnlyTheLinesNotYetTaken)
{
    LogBuffer buffer;
    for (int i = 0; i < 1000; ++i)
        buffer.append("line " + std::to_string(i));
    EXPECT_EQ(buffer.take().added.size(), 1000u);
    buffer.progress(" 50%");
    const LogBuffer::Batch batch = buffer.take();
    EXPECT_TRUE(batch.replaceLast);
    EXPECT_EQ(batch.lastShown, "line 50%");
    EXPECT_TRUE(batch.added.empty());
    EXPECT_EQ(buffer.lineCount(), 1000u);

    buffer.clear();
    EXPECT_EQ(buffer.lineCount(), 0u);
    buffer.progress("100%");
    const LogBuffer::Batch first = buffer.take();
    EXPECT_FALSE(first.replaceLast);
    EXPECT_EQ(first.added, (std::vector<std::string> {"100%"}));
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
