// How far a run has come, from the lines its archivers print: 7zz's counter while it packs and
// tests, the zips done and par2's counter; the time it took and the time left, on a clock the
// test sets.
#include "archiving/run_progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

using namespace pkm;
using namespace std::chrono_literals;

namespace {

// A step starts (steps > 0) or a line of output comes, and the percentage after it.
struct Event {
    std::size_t step = 0, steps = 0;
    std::string line;
    int percent;
};

std::vector<int> percents(RunKind kind, const std::vector<Event>& events, std::vector<int>& expected)
{
    RunProgress progress(kind, RunProgress::Clock::time_point {});
    std::vector<int> seen;
    for (const Event& event : events) {
        if (event.steps > 0)
            progress.step(event.step, event.steps);
        else
            progress.line(event.line);
        seen.push_back(progress.percent());
        expected.push_back(event.percent);
    }
    return seen;
}

} // namespace

TEST(RunProgress, TheVolumeRunFollows7zzsCounterWhilePackingAndThenWhileTesting)
{
    // The lines as the pipe cuts 7zz's output (its counter steps back with backspaces).
    const std::vector<Event> events {
        {0, 0, "7-Zip (z) 26.02 (x64) : Copyright (c) 1999-2026 Igor Pavlov : 2026-06-25", 0},
        {0, 0, "  0M Scan ", 0},
        {0, 0, "51 files, 35444700 bytes (34 MiB)", 0},
        {0, 0, "Add new data to archive: 51 files, 35444700 bytes (34 MiB)", 0},
        {0, 0, "  0%", 0},
        {0, 0, "    ", 0},
        {0, 0, " 12% + big.bin", 10},
        {0, 0, "              ", 10},
        {0, 0, " 50% 3 + 99% off.txt", 45},
        // A counter never takes the bar back.
        {0, 0, " 40% 3 + t4.txt", 45},
        {0, 0, "100% 51", 90},
        {0, 0, "Archive size: 30008984 bytes (29 MiB)", 90},
        {0, 0, "Everything is Ok", 90},
        {0, 0, "Testing archive: /out/.pkm-staging-Ab12/rel.7z.001", 90},
        {0, 0, "  0% 1 Open", 90},
        {0, 0, "Physical Size = 3000000", 90},
        {0, 0, " 50%", 95},
        {0, 0, "Everything is Ok", 95},
    };
    std::vector<int> expected;
    const std::vector<int> seen = percents(RunKind::Volumes, events, expected);
    EXPECT_EQ(seen, expected);
}

TEST(RunProgress, TheZipRunCountsZipsDoneAndPar2sCounterInsideItsStep)
{
    // Three zips and the recovery data.
    const std::vector<Event> events {
        {0, 4, "", 0},
        // How much smaller a file got is no counter.
        {0, 0, "  adding: release.7z.001 (deflated 45%)", 0},
        {0, 0, "test of disk01.zip OK", 0},
        {1, 4, "", 25},
        {0, 0, "  adding: release.7z.002 (stored 0%)", 25},
        {2, 4, "", 50},
        {3, 4, "", 75},
        {0, 0, "Constructing: 0.0%", 75},
        {0, 0, "Processing: 33.3%", 83},
        {0, 0, "Processing: 100.0%", 100},
    };
    std::vector<int> expected;
    const std::vector<int> seen = percents(RunKind::Zips, events, expected);
    EXPECT_EQ(seen, expected);
}

TEST(RunProgress, TimeLeftAtThePaceSoFarAndTheTimeStopsWhenTheRunEnds)
{
    const RunProgress::Clock::time_point t0 {};
    RunProgress progress(RunKind::Zips, t0);
    EXPECT_EQ(progress.timeText(t0), "0:00 elapsed");
    // Too early to tell, however far it came.
    progress.step(1, 2);
    EXPECT_EQ(progress.timeText(t0 + 900ms), "0:00 elapsed");
    EXPECT_EQ(progress.timeText(t0 + 12s), "0:12 elapsed, 0:12 left");
    progress.step(3, 4);
    EXPECT_EQ(progress.timeText(t0 + 1h + 30s), "1:00:30 elapsed, 20:10 left");
    EXPECT_EQ(progress.statusText(t0 + 1h + 30s), "75%  1:00:30 elapsed, 20:10 left");

    progress.finish(t0 + 1h + 40s, true);
    EXPECT_EQ(progress.percent(), 100);
    EXPECT_EQ(progress.timeText(t0 + 2h), "1:00:40 elapsed");

    // A run that failed keeps how far it came.
    RunProgress failed(RunKind::Volumes, t0);
    failed.line(" 50%");
    failed.finish(t0 + 5s, false);
    EXPECT_EQ(failed.percent(), 45);
    EXPECT_EQ(failed.timeText(t0 + 1min), "0:05 elapsed");
}

TEST(RunProgress, OnlyACounterAtTheStartOfALineCounts)
{
    const struct {
        const char* line;
        double value; // -1: no counter
    } rows[] = {
        {"  7%", 7},  {" 12.5% + a", 12.5}, {"100%", 100}, {"0%", 0}, {"  0M Scan", -1}, {"a 50%", -1},
        {"50 %", -1}, {"1000%", -1},        {"12.%", -1},  {"%", -1}, {"", -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const std::optional<double> value = leadingPercent(row.line);
        if (row.value < 0)
            EXPECT_FALSE(value.has_value());
        else
            EXPECT_EQ(value, row.value);
    }
}
