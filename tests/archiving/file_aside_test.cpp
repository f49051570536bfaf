#include "archiving/file_aside.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

TEST(FileAside, TheEarlierFileGoesAfterSuccessAndComesBackAfterAFailure)
{
    const struct {
        const char* what;
        bool earlier;
        bool succeeded;
        std::map<std::string, std::string> expected; // what the directory holds afterwards
    } rows[] = {
        {"replaced", true, true, {{"z.zip", "new"}}},
        {"made", false, true, {{"z.zip", "new"}}},
        {"failed over an earlier one", true, false, {{"z.zip", "earlier"}}},
        {"failed with none before", false, false, {}},
    };
    for (const auto& row : rows) {
        TempDir dir;
        if (row.earlier)
            dir.write("z.zip", "earlier");
        {
            pkm::FileAside aside(dir.file("z.zip"));
            ASSERT_EQ(aside.error(), 0) << row.what;
            EXPECT_FALSE(fs::exists(dir.file("z.zip"))) << row.what;
            dir.write("z.zip", "new"); // what the command leaves, whole or not
            if (row.succeeded)
                aside.discard();
            // else: the failure path is the destructor's
        }
        std::map<std::string, std::string> held;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            held[entry.path().filename().string()] = dir.read(entry.path().filename().string());
        EXPECT_EQ(held, row.expected) << row.what;
    }
}

TEST(FileAside, AFolderOfThatNameStaysWhereItIs)
{
    TempDir dir;
    dir.write("z.zip/inside", "kept");
    for (bool succeeded : {true, false}) {
        pkm::FileAside aside(dir.file("z.zip"));
        EXPECT_EQ(aside.error(), 0);
        if (succeeded)
            aside.discard();
        else
            aside.restore();
        EXPECT_EQ(dir.read("z.zip/inside"), "kept");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
}

TEST(FileAside, ZipAddsItsExtensionOnlyToANameWithoutAPeriod)
{
    EXPECT_EQ(pkm::zipFileMade("/o/", "disk01"), "/o/disk01.zip");
    EXPECT_EQ(pkm::zipFileMade("/o.d/", "disk01"), "/o.d/disk01.zip");
    EXPECT_EQ(pkm::zipFileMade("/o/", "disk.01"), "/o/disk.01");
    EXPECT_EQ(pkm::zipFileMade("/o/", "sub.d/x"), "/o/sub.d/x.zip");
    EXPECT_EQ(pkm::zipFileMade("/o/", ".hidden"), "/o/.hidden");
}
