#include "archiving/volume_count.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pkm;

TEST(VolumeCount, BaseNameIsCutAtTheFirstPeriodOfANameWithExtension)
{
    const struct {
        std::string name, base;
    } rows[] = {
        {"rel.rar", "rel"},
        {"my.rel.old", "my"},
        {"rel", "rel"},
        {"", ""},
        {".hidden", ""},
        {"dir.d/rel", "dir.d/rel"},
        {"sub/rel.rar", "sub/rel"},
        {"a.b/c.d", "a"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(VolumeBaseName(row.name), row.base) << row.name;
}

TEST(VolumeCount, PatternIsBasePeriodAnything)
{
    const struct {
        const char* entry;
        const char* base;
        bool matches;
    } rows[] = {
        {"rel.7z.001", "rel", true},
        {"rel.", "rel", true},
        {"rel.rar", "rel", true},
        {"rel", "rel", false},
        {"rel7z", "rel", false},
        {"Rel.7z.001", "rel", false},
        {"xrel.001", "rel", false},
        {".hidden", "", true},
        {".", "", false},
        {"..", "", false},
        {"visible", "", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(matchesVolumePattern(row.entry, row.base), row.matches) << row.entry << " / " << row.base;
}

TEST(VolumeCount, CountsMatchingEntriesOfTheOutputDirectory)
{
    TempDir dir;
    for (const char* name : {"rel.7z.001", "rel.7z.002", "rel.txt", "rel", "Rel.7z.003", "other.001", ".hidden"})
        dir.write(name, "x");
    std::filesystem::create_directory(dir.file("rel.d"));
    dir.write("sub/rel.001", "x");

    EXPECT_EQ(countVolumeFiles(dir.path(), "rel.rar"), 4u); // three files and the directory rel.d
    EXPECT_EQ(countVolumeFiles(dir.path() + "/", "rel"), 4u);
    EXPECT_EQ(countVolumeFiles(dir.path(), "Rel.rar"), 1u);
    EXPECT_EQ(countVolumeFiles(dir.path(), ""), 1u) << "dot files only, never . and ..";
    EXPECT_EQ(countVolumeFiles(dir.path(), "sub/rel.rar"), 1u);
    EXPECT_EQ(countVolumeFiles(dir.path(), "none"), 0u);
    EXPECT_EQ(countVolumeFiles(dir.file("missing"), "rel"), 0u);
}

TEST(VolumeCount, ProgressLinesReplaceTheLastFourCharacters)
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
        addLogLine(log, row.line);
        EXPECT_EQ(log, row.expected) << row.what;
    }
}

TEST(VolumeCount, ExitCodeTextEndsWithOnePeriod)
{
    EXPECT_EQ(exitCodeText(2), "No such file or directory.");
    EXPECT_EQ(exitCodeText(22), "Invalid argument.");
    EXPECT_EQ(exitCodeText(13), "Permission denied.");
    const std::string unknown = exitCodeText(300);
    EXPECT_EQ(unknown.back(), '.');
    EXPECT_NE(unknown[unknown.size() - 2], '.');
    EXPECT_NE(unknown.find("300"), std::string::npos);
}
