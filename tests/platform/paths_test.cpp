#include "platform/paths.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pkm;

TEST(Paths, DirectoryPresentOnlyForExistingDirectoriesAfterLinks)
{
    TempDir dir;
    const std::string file = dir.write("file.txt", "x");
    std::filesystem::create_directories(dir.file("sub"));
    std::filesystem::create_directory_symlink(dir.file("sub"), dir.file("link"));
    std::filesystem::create_symlink(dir.file("gone"), dir.file("dangling"));

    EXPECT_TRUE(DirectoryPresent(dir.path()));
    EXPECT_TRUE(DirectoryPresent(dir.file("sub")));
    EXPECT_TRUE(DirectoryPresent(dir.file("sub") + "/"));
    EXPECT_TRUE(DirectoryPresent(dir.file("link")));
    EXPECT_FALSE(DirectoryPresent(file));
    EXPECT_FALSE(DirectoryPresent(dir.file("missing")));
    EXPECT_FALSE(DirectoryPresent(dir.file("dangling")));
    EXPECT_FALSE(DirectoryPresent(""));
}

TEST(Paths, TrailingSeparatorsAndFileNames)
{
    const std::string s(1, kPathSeparator);
    EXPECT_EQ(withTrailingSeparator("out"), "out" + s);
    EXPECT_EQ(withTrailingSeparator("out" + s), "out" + s);
    EXPECT_EQ(withoutTrailingSeparator("in" + s), "in");
    EXPECT_EQ(withoutTrailingSeparator("in" + s + s), "in" + s);
    EXPECT_EQ(withoutTrailingSeparator("in"), "in");
    EXPECT_EQ(fileNameOf("a" + s + "b" + s + "c.nfo"), "c.nfo");
    EXPECT_EQ(fileNameOf("c.nfo"), "c.nfo");
    EXPECT_EQ(fileNameOf("dir" + s), "");
}
