#include "archiving/volume_files.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pkm;

TEST(VolumeFiles, BaseNameIsCutAtTheFirstPeriodOfANameWithExtension)
{
    const struct {
        std::string name, base;
    } rows[] = {
        {"rel.rar", "rel"},         {"my.rel.old", "my"},       {"rel", "rel"},   {"", ""}, {".hidden", ""},
        {"dir.d/rel", "dir.d/rel"}, {"sub/rel.rar", "sub/rel"}, {"a.b/c.d", "a"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(VolumeBaseName(row.name), row.base) << row.name;
}

TEST(VolumeFiles, PatternIsBasePeriodAnything)
{
    const struct {
        const char* entry;
        const char* base;
        bool matches;
    } rows[] = {
        {"rel.7z.001", "rel", true}, {"rel.", "rel", true},   {"rel.rar", "rel", true},
        {"rel", "rel", false},       {"rel7z", "rel", false}, {"Rel.7z.001", "rel", false},
        {"xrel.001", "rel", false},  {".hidden", "", true},   {".", "", false},
        {"..", "", false},           {"visible", "", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(matchesVolumePattern(row.entry, row.base), row.matches) << row.entry << " / " << row.base;
}

TEST(VolumeFiles, CountsMatchingEntriesOfTheOutputDirectory)
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

TEST(VolumeFiles, TheDialogPatternPicksTheVolumesWhateverTheirName)
{
    const struct {
        std::string outDir, volumeName, directory, base, pattern;
    } rows[] = {
        {"/out/", "rel.rar", "/out/", "rel", "rel.*"},
        {"/out", "sub/rel", "/out/sub/", "rel", "rel.*"},
        {"/out/", "my release", "/out/", "my release", "my?release.*"}, // a blank would split the pattern
        {"/out/", "a[1];(b)*", "/out/", "a[1];(b)*", "a?1???b??.*"},
        {"/out/", "r\xC3\xA9l", "/out/", "r\xC3\xA9l", "r?l.*"}, // one character beyond ASCII, one "?"
        {"/out/", "", "/out/", "", ""},                          // no name: no pattern
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.volumeName);
        const VolumeLocation location = locateVolumes(row.outDir, row.volumeName);
        EXPECT_EQ(location.directory, row.directory);
        EXPECT_EQ(location.base, row.base);
        EXPECT_EQ(volumeFilterPattern(location.base), row.pattern);
    }
}
